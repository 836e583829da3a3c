#include "platform/file_system.h"

#include <sys/stat.h>

namespace quillfen::platform {

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

}  // namespace quillfen::platform

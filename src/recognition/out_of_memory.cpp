#include "recognition/out_of_memory.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>

namespace quillfen {

bool saysOutOfMemory(const std::exception& error) {
  if (const auto* system = dynamic_cast<const std::system_error*>(&error)) {
    return system->code() == std::errc::not_enough_memory || system->code() == std::errc::resource_unavailable_try_again;
  }
  const std::string_view what = error.what();
  return what.ends_with(std::strerror(ENOMEM)) || what.ends_with(std::strerror(EAGAIN));
}

}  // namespace quillfen

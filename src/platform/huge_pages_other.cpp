#include "platform/huge_pages.h"

namespace quillfen::platform {

// Elsewhere the C library's allocator has no such setting: the program goes on as it is.
void restartWithHugePages(char**, char**) {}

}  // namespace quillfen::platform

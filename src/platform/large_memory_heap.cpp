#include <cstdlib>

#include "platform/large_memory.h"

namespace quillfen::platform {

// Systems without transparent huge pages: every buffer comes from the heap.
void* allocateLargeBuffer(std::size_t bytes) {
  const std::size_t rounded = (bytes == 0 ? 1 : bytes) + 63;
  if (rounded < bytes) return nullptr;
  return std::aligned_alloc(64, rounded / 64 * 64);
}

void releaseLargeBuffer(void* buffer, std::size_t) { std::free(buffer); }

}  // namespace quillfen::platform

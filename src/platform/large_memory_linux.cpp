#include "platform/large_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace quillfen::platform {
namespace {

// Every buffer is preceded by one of these, in the 64 bytes below it: how to give it back.
struct alignas(64) BufferHeader {
  void* start;         // the mapping's start, or the heap block's
  std::size_t mapped;  // the mapping's length; 0 for a heap block
};
static_assert(sizeof(BufferHeader) == 64);

std::uintptr_t roundedUp(std::uintptr_t value, std::uintptr_t step) { return (value + step - 1) / step * step; }

}  // namespace

void* allocateLargeBuffer(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes > SIZE_MAX / 2) return nullptr;
  if (bytes < kHugePageSize) {
    void* block = std::aligned_alloc(sizeof(BufferHeader), sizeof(BufferHeader) + roundedUp(bytes, 64));
    if (block == nullptr) return nullptr;
    auto* header = static_cast<BufferHeader*>(block);
    *header = {block, 0};
    return header + 1;
  }
  // Room for the header's page below a huge-page boundary, the buffer from that boundary,
  // and the slack to find one; what is left over on either side is unmapped again.
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::size_t length = roundedUp(bytes, page) + kHugePageSize + page;
  void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(mapping);
  const std::uintptr_t data = roundedUp(start + page, kHugePageSize);
  const std::uintptr_t keptStart = data - page;
  const std::uintptr_t keptEnd = data + roundedUp(bytes, page);
  if (keptStart > start) munmap(mapping, keptStart - start);
  if (start + length > keptEnd) munmap(reinterpret_cast<void*>(keptEnd), start + length - keptEnd);
  // Only whole huge pages: a partly used one at the end would add up to 2 MB to what the
  // process holds, where small pages hold only what is touched.
  const std::size_t whole = bytes / kHugePageSize * kHugePageSize;
  madvise(reinterpret_cast<void*>(data), whole, MADV_HUGEPAGE);  // advice only: a refusal changes nothing
  auto* header = reinterpret_cast<BufferHeader*>(data) - 1;
  *header = {reinterpret_cast<void*>(keptStart), keptEnd - keptStart};
  return reinterpret_cast<void*>(data);
}

void releaseLargeBuffer(void* buffer) {
  if (buffer == nullptr) return;
  const BufferHeader header = *(static_cast<BufferHeader*>(buffer) - 1);
  if (header.mapped == 0) {
    std::free(header.start);
  } else {
    munmap(header.start, header.mapped);
  }
}

}  // namespace quillfen::platform

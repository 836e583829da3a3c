#include "platform/large_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace quillfen::platform {
namespace {

std::uintptr_t roundedUp(std::uintptr_t value, std::uintptr_t step) { return (value + step - 1) / step * step; }

std::uintptr_t pageSize() { return static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)); }

}  // namespace

void* allocateLargeBuffer(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes > SIZE_MAX / 2) return nullptr;
  if (bytes < kHugePageSize) return std::aligned_alloc(64, roundedUp(bytes, 64));
  // The buffer from a huge-page boundary, with the slack to find one; what is left over
  // on either side is unmapped again, so the buffer's own pages are the whole mapping.
  const std::uintptr_t page = pageSize();
  const std::size_t length = roundedUp(bytes, page) + kHugePageSize;
  void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(mapping);
  const std::uintptr_t data = roundedUp(start, kHugePageSize);
  const std::uintptr_t end = data + roundedUp(bytes, page);
  if (data > start) munmap(mapping, data - start);
  if (start + length > end) munmap(reinterpret_cast<void*>(end), start + length - end);
  // Only whole huge pages: a partly used one at the end would add up to 2 MB to what the
  // process holds, where small pages hold only what is touched.
  const std::size_t whole = bytes / kHugePageSize * kHugePageSize;
  madvise(reinterpret_cast<void*>(data), whole, MADV_HUGEPAGE);  // advice only: a refusal changes nothing
  return reinterpret_cast<void*>(data);
}

void releaseLargeBuffer(void* buffer, std::size_t bytes) {
  if (buffer == nullptr) return;
  if (bytes == 0) bytes = 1;
  if (bytes < kHugePageSize) return std::free(buffer);
  munmap(buffer, roundedUp(bytes, pageSize()));
}

}  // namespace quillfen::platform

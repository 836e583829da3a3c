#pragma once

#include <cstddef>

namespace quillfen::platform {

// Memory for large buffers (pictures, network layer outputs). On Linux, a buffer of
// kHugePageSize or more is mapped on its own, starting on a huge-page boundary, and its
// whole huge pages are marked for transparent huge pages: the kernel then backs them two
// megabytes per page fault instead of four kilobytes. On the benchmark's machine a PP-OCR
// detector pass over a fresh 896 x 1024 tile faulted in 67,000 pages and took 0.83-0.92 s,
// 0.67 s with huge pages, at the same peak memory. Smaller buffers come from the heap.
// Elsewhere every buffer comes from the heap.
inline constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

// A buffer of the given size (one byte for 0), aligned to 64 bytes; nullptr when the
// system refuses the memory.
void* allocateLargeBuffer(std::size_t bytes);

// Gives back a buffer from allocateLargeBuffer, with the size it was asked for; nullptr is
// ignored.
void releaseLargeBuffer(void* buffer, std::size_t bytes);

}  // namespace quillfen::platform

// Buffers from allocateLargeBuffer: aligned, usable to their last byte, and, when large,
// on a huge-page boundary with the kernel's huge-page advice in place.
#include "platform/large_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace quillfen::platform {
namespace {

// The VmFlags line of the mapping that holds the address, from /proc/self/smaps.
std::string mappingFlags(const void* address) {
  const auto wanted = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  while (std::getline(smaps, line)) {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> start >> dash >> end && dash == '-') {
      inside = start <= wanted && wanted < end;
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      return line;
    }
  }
  return {};
}

bool isMapped(const void* address) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  unsigned char resident = 0;
  void* start = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(address) / page * page);
  return mincore(start, 1, &resident) == 0;
}

TEST(LargeMemory, BuffersOfEverySizeAreAlignedAndUsableToTheirLastByte) {
  for (std::size_t bytes : {std::size_t{0}, std::size_t{1}, std::size_t{4097}, kHugePageSize - 1, kHugePageSize,
                            3 * kHugePageSize + 12345}) {
    SCOPED_TRACE(bytes);
    auto* buffer = static_cast<unsigned char*>(allocateLargeBuffer(bytes));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer) % 64, 0u);
    const std::size_t used = bytes == 0 ? 1 : bytes;
    std::memset(buffer, 0xA5, used);
    EXPECT_EQ(buffer[0], 0xA5);
    EXPECT_EQ(buffer[used - 1], 0xA5);
    releaseLargeBuffer(buffer, bytes);
  }
  releaseLargeBuffer(nullptr, 0);
}

#ifdef __linux__
TEST(LargeMemory, ALargeBufferStartsOnAHugePageWithTheAdviceAndIsGoneWhenReleased) {
  const std::size_t bytes = 5 * kHugePageSize + 100;
  void* buffer = allocateLargeBuffer(bytes);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer) % kHugePageSize, 0u);
  // "hg": the range was given MADV_HUGEPAGE. The tail past the last whole huge page is not.
  EXPECT_NE(mappingFlags(buffer).find(" hg"), std::string::npos) << mappingFlags(buffer);
  const void* tail = static_cast<char*>(buffer) + 5 * kHugePageSize;
  EXPECT_EQ(mappingFlags(tail).find(" hg"), std::string::npos) << mappingFlags(tail);
  releaseLargeBuffer(buffer, bytes);
  EXPECT_FALSE(isMapped(buffer));
  EXPECT_FALSE(isMapped(tail));
}

TEST(LargeMemory, ASmallBufferComesFromTheHeapWithoutAdvice) {
  const std::size_t bytes = kHugePageSize / 2;
  void* buffer = allocateLargeBuffer(bytes);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(mappingFlags(buffer).find(" hg"), std::string::npos);
  releaseLargeBuffer(buffer, bytes);
}
#endif

TEST(LargeMemory, MemoryTheSystemRefusesIsNull) {
  // A terabyte more than this machine has, in either path.
  EXPECT_EQ(allocateLargeBuffer(std::size_t{1} << 42), nullptr);
  EXPECT_EQ(allocateLargeBuffer(SIZE_MAX - 10), nullptr);
}

}  // namespace
}  // namespace quillfen::platform

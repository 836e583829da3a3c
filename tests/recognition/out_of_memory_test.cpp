#include "recognition/out_of_memory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quillfen {
namespace {

// A thread that could not be started under a memory limit must read as memory running
// out, in the forms the standard library and TBB report it; other failures must not.
TEST(OutOfMemory, ThreadsAndMemoryRefusedBySystemAreOutOfMemory) {
  EXPECT_TRUE(saysOutOfMemory(std::system_error(EAGAIN, std::system_category(), "thread")));
  EXPECT_TRUE(saysOutOfMemory(std::system_error(ENOMEM, std::generic_category())));
  EXPECT_TRUE(saysOutOfMemory(std::runtime_error(std::string("pthread_create has failed: ") + std::strerror(EAGAIN))));
  EXPECT_TRUE(saysOutOfMemory(std::runtime_error(std::string("mmap: ") + std::strerror(ENOMEM))));

  EXPECT_FALSE(saysOutOfMemory(std::system_error(ENOENT, std::system_category(), "model")));
  EXPECT_FALSE(saysOutOfMemory(std::runtime_error("unexpected layer type in the model")));
  EXPECT_FALSE(saysOutOfMemory(std::runtime_error(std::string(std::strerror(EAGAIN)) + " while parsing the model")));
}

}  // namespace
}  // namespace quillfen

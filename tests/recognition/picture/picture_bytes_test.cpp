#include "recognition/picture/picture_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/temp_dir.h"

namespace quillfen::picture {
namespace {

TEST(PictureBytes, ReadsRegularFilesUpToTheLimit) {
  test_support::TempDir dir;
  const std::string file = dir.write("four.bin", "abcd");
  std::optional<PictureBytes> bytes = readPictureBytes(file, {}, 4);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size()), "abcd");
  EXPECT_FALSE(readPictureBytes(file, {}, 3));
  EXPECT_TRUE(readPictureBytes(dir.write("empty.bin", ""), {}, 3));
}

TEST(PictureBytes, StreamsStopOnePastTheLimit) {
  EXPECT_FALSE(readPictureBytes("/dev/zero", {}, std::size_t{1} << 20));
  std::optional<PictureBytes> empty = readPictureBytes("/dev/null", {}, 16);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->size(), 0u);
}

TEST(PictureBytes, PrefixCheckStopsEndlessStreamsEarly) {
  std::size_t seen = 0;
  const PrefixCheck rejectAll{16, [&](const std::uint8_t*, std::size_t size) {
                                seen = size;
                                return false;
                              }};
  EXPECT_FALSE(readPictureBytes("/dev/zero", rejectAll));
  EXPECT_GE(seen, 16u);
  EXPECT_LE(seen, std::size_t{1} << 16);  // one read's worth, not the whole limit

  test_support::TempDir dir;
  const PrefixCheck acceptAll{16, [&](const std::uint8_t*, std::size_t size) {
                                seen = size;
                                return true;
                              }};
  EXPECT_TRUE(readPictureBytes(dir.write("short.bin", "abc"), acceptAll));
  EXPECT_EQ(seen, 3u);  // a short input is judged whole
}

TEST(PictureBytes, NoBytesFromDirectoriesOrMissingPaths) {
  test_support::TempDir dir;
  EXPECT_FALSE(readPictureBytes(dir.path()));
  EXPECT_FALSE(readPictureBytes(dir.path() + "/missing"));
}

// A FIFO is read as cat reads it: the reader waits for a writer that comes later, and
// reads to its end (an earlier version saw an empty FIFO and gave up at once).
TEST(PictureBytes, FifoWaitsForAWriterThatComesLater) {
  test_support::TempDir dir;
  const std::string fifo = dir.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int fd = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(write(fd, "abcd", 4), 4);
    close(fd);
  });
  std::optional<PictureBytes> bytes = readPictureBytes(fifo);
  writer.join();
  ASSERT_TRUE(bytes);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size()), "abcd");
}

TEST(PictureBytes, FifoWhoseWriterWritesNothingIsEmpty) {
  test_support::TempDir dir;
  const std::string fifo = dir.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    const int fd = open(fifo.c_str(), O_WRONLY);
    if (fd >= 0) close(fd);
  });
  std::optional<PictureBytes> bytes = readPictureBytes(fifo);
  writer.join();
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), 0u);
}

}  // namespace
}  // namespace quillfen::picture

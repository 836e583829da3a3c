// Bad files, special files and odd paths through the real binary: each ends with the exact
// message, status 1, nothing on standard output, within bounds of time and memory measured
// from outside the process.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "cli/messages.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using test_support::dataPath;
using test_support::readFile;
using test_support::TempDir;

#ifdef QUILLFEN_SANITIZED
// Sanitizers keep shadow memory and quarantines of their own.
constexpr long memoryBoundKilobytes = 900 * 1024;
#else
constexpr long memoryBoundKilobytes = 300 * 1024;
#endif
// Far above any of these runs; it catches hangs and runaway decoding, not slowness.
constexpr double timeBoundSeconds = 30;

struct HostileCase {
  std::string name;
  std::function<std::string(const TempDir&)> makePath;  // the path to pass
  std::string message;                                  // the whole of standard error
};

std::string truncated(const TempDir& dir, const std::string& source, double fraction, std::size_t atLeast = 0) {
  const std::string bytes = readFile(dataPath(source));
  const std::size_t keep = std::max(atLeast, static_cast<std::size_t>(static_cast<double>(bytes.size()) * fraction));
  return dir.write("cut-" + std::to_string(keep) + "-" + source.substr(source.rfind('/') + 1), bytes.substr(0, keep));
}

std::string flipped(const TempDir& dir, const std::string& source, std::size_t at) {
  std::string bytes = readFile(dataPath(source));
  bytes.at(at) = static_cast<char>(bytes.at(at) ^ 0x5A);
  return dir.write("flip-" + std::to_string(at) + "-" + source.substr(source.rfind('/') + 1), bytes);
}

std::string randomBytes(const TempDir& dir) {
  std::string bytes(64 * 1024, '\0');
  std::uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return dir.write("random.png", bytes);
}

std::vector<HostileCase> hostileCases() {
  const std::string unreadable(messages::unreadableImage);
  auto cut = [](std::string source, double fraction, std::size_t atLeast = 0) {
    return [=](const TempDir& dir) { return truncated(dir, source, fraction, atLeast); };
  };
  auto flip = [](std::string source, std::size_t at) {
    return [=](const TempDir& dir) { return flipped(dir, source, at); };
  };
  auto committed = [](std::string file) { return [=](const TempDir&) { return dataPath(file); }; };
  auto fixed = [](std::string path) { return [=](const TempDir&) { return path; }; };

  std::vector<HostileCase> cases = {
      {"png cut after signature", cut("english.png", 0, 8), unreadable},
      {"png cut after header", cut("english.png", 0, 33), unreadable},
      {"png cut in half", cut("english.png", 0.5), unreadable},
      {"png cut before end", cut("english.png", 0.98), unreadable},
      {"jpeg cut after marker", cut("formats/gray.jpg", 0, 2), unreadable},
      {"jpeg cut in header", cut("formats/gray.jpg", 0, 200), unreadable},
      {"jpeg cut in half", cut("formats/gray.jpg", 0.5), unreadable},
      {"progressive jpeg cut in half", cut("formats/progressive.jpg", 0.5), unreadable},
      {"cmyk jpeg cut in half", cut("formats/cmyk.jpg", 0.5), unreadable},
      {"tiff cut after header", cut("formats/multipage.tiff", 0, 8), unreadable},
      {"tiff cut in half", cut("formats/gray16.tiff", 0.5), unreadable},
      {"gif cut after screen", cut("formats/animated.gif", 0, 13), unreadable},
      {"gif cut in first frame", cut("formats/animated.gif", 0.2), unreadable},
      {"webp cut after header", cut("formats/lossy.webp", 0, 12), unreadable},
      {"webp cut in half", cut("formats/lossless.webp", 0.5), unreadable},
      {"heic cut in half", cut("formats/heic.heic", 0.5), unreadable},
      {"avif cut in half", cut("formats/avif.avif", 0.5), unreadable},
      {"bmp cut in half", cut("formats/picture.bmp", 0.5), unreadable},
      {"pgm cut in half", cut("formats/picture.pgm", 0.5), unreadable},
      {"png with flipped pixel data", flip("english.png", 2000), unreadable},
      {"png with flipped header", flip("english.png", 20), unreadable},
      {"tiff with flipped directory offset", flip("formats/gray16.tiff", 5), unreadable},
      {"huge png", committed("hostile/huge.png"), unreadable},
      {"huge jpeg", committed("hostile/huge.jpg"), unreadable},
      {"huge tiff", committed("hostile/huge.tiff"), unreadable},
      {"huge gif", committed("hostile/huge.gif"), unreadable},
      {"gif with too many frames", committed("hostile/many-frames.gif"), unreadable},
      {"huge bmp", committed("hostile/huge.bmp"), unreadable},
      {"huge pgm", committed("hostile/huge.pgm"), unreadable},
      {"huge webp", committed("hostile/huge.webp"), unreadable},
      {"zero-size file", [](const TempDir& dir) { return dir.write("empty.png", ""); }, unreadable},
      {"text named png", [](const TempDir& dir) { return dir.write("notes.png", "just some text\n"); }, unreadable},
      {"pdf named jpg", [](const TempDir& dir) { return dir.write("doc.jpg", "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n"); },
       unreadable},
      {"random bytes", randomBytes, unreadable},
      {"link to a directory",
       [](const TempDir& dir) {
         const std::string link = dir.path() + "/to-dir.png";
         EXPECT_EQ(symlink(dir.path().c_str(), link.c_str()), 0);
         return link;
       },
       unreadable},
      {"link loop",
       [](const TempDir& dir) {
         const std::string link = dir.path() + "/loop.png";
         EXPECT_EQ(symlink(link.c_str(), link.c_str()), 0);
         return link;
       },
       std::string(messages::notFound) + "LOOP"},
      // The tool waits for a FIFO's writer (as cat does); this one opens it and writes
      // nothing. (It used to be a FIFO that no writer ever opened, which now waits.)
      {"fifo whose writer writes nothing",
       [](const TempDir& dir) {
         const std::string fifo = dir.path() + "/fifo.png";
         EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
         const std::string writer = "timeout 60 sh -c ': > \"$0\"' '" + fifo + "' &";
         EXPECT_EQ(std::system(writer.c_str()), 0);
         return fifo;
       },
       unreadable},
      {"/dev/null", fixed("/dev/null"), unreadable},
      {"/dev/zero", fixed("/dev/zero"), unreadable},
      {"/dev/urandom", fixed("/dev/urandom"), unreadable},
  };
  return cases;
}

TEST(HostileInput, EveryCaseEndsWithItsMessageWithinBounds) {
  TempDir dir;
  const std::vector<HostileCase> cases = hostileCases();
  EXPECT_GE(cases.size(), 25u);
  long worstKilobytes = 0;
  for (const HostileCase& hostile : cases) {
    const std::string path = hostile.makePath(dir);
    std::string message = hostile.message;
    if (message.size() >= 4 && message.compare(message.size() - 4, 4, "LOOP") == 0) {
      message.replace(message.size() - 4, 4, path);
    }
    const test_support::ProcessResult result = test_support::runBinary({path});
    EXPECT_EQ(result.status, 1) << hostile.name;
    EXPECT_EQ(result.signal, 0) << hostile.name;
    EXPECT_EQ(result.out, "") << hostile.name;
    EXPECT_EQ(result.err, message) << hostile.name;
    EXPECT_LT(result.seconds, timeBoundSeconds) << hostile.name;
    EXPECT_LT(result.peakKilobytes, memoryBoundKilobytes) << hostile.name;
    worstKilobytes = std::max(worstKilobytes, result.peakKilobytes);
  }
  ::testing::Test::RecordProperty("worst_peak_kilobytes", static_cast<int>(worstKilobytes));
  std::printf("worst peak memory of a rejected input: %ld KB\n", worstKilobytes);
}

TEST(HostileInput, EndlessStreamAfterAPictureSignatureStopsAtTheReadLimit) {
  const std::string script = "{ head -c 16 \"$1\"; cat /dev/zero; } | \"$2\" /dev/stdin";
  const test_support::ProcessResult result =
      test_support::runProgram({"/bin/sh", "-c", script, "sh", dataPath("english.png"), test_support::toolPath()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, messages::unreadableImage);
  EXPECT_LT(result.seconds, timeBoundSeconds);
  EXPECT_LT(result.peakKilobytes, memoryBoundKilobytes);
  std::printf("peak memory of an endless picture stream: %ld KB\n", result.peakKilobytes);
}

}  // namespace
}  // namespace quillfen

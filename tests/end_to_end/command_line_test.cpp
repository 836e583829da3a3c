// The command line as a caller sees it: the real binary, its bytes and exit status.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "cli/messages.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using test_support::ProcessResult;
using test_support::runBinary;

void expectFailure(const ProcessResult& result, const std::string& message) {
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, message);
}

TEST(CommandLine, NoImagePathGivesTheUsageMessage) {
  const ProcessResult result = runBinary({});
  expectFailure(result, std::string(messages::usage));
  EXPECT_EQ(result.err.size(), 57u);
}

TEST(CommandLine, MissingFileEchoesThePathExactly) {
  const std::string prefix(messages::notFound);
  EXPECT_EQ(prefix.size(), 30u);
  const std::string paths[] = {
      "",
      "no/such/picture.png",
      "/no/such/picture.png",
      " spaced name .png",
      "-starts-with-dash",
      "图片/扫描件.png",
      "line\nbreak.png",
      "~/tilde.png",
      "./x/../y.png",
  };
  for (const std::string& path : paths) expectFailure(runBinary({path}), prefix + path);
}

TEST(CommandLine, LaterArgumentsAreIgnored) {
  const std::string prefix(messages::notFound);
  expectFailure(runBinary({"missing.png", "en-US", "extra", "--help"}), prefix + "missing.png");
}

TEST(CommandLine, DirectoryPassesTheExistenceTestButDoesNotDecode) {
  test_support::TempDir dir;
  expectFailure(runBinary({dir.path()}), std::string(messages::unreadableImage));
}

TEST(CommandLine, FailedWriteToStandardOutputIsAFailure) {
  const std::string picture = test_support::dataPath("english.png");
  const std::string prefix(messages::outputFailed);

  expectFailure(runBinary({picture}, test_support::StandardOutput::file("/dev/full")),
                prefix + "No space left on device");
  expectFailure(runBinary({picture}, test_support::StandardOutput::none()), prefix + "Bad file descriptor");

  int brokenPipe[2];
  ASSERT_EQ(pipe(brokenPipe), 0);
  close(brokenPipe[0]);
  const ProcessResult result = runBinary({picture}, test_support::StandardOutput::descriptor(brokenPipe[1]));
  close(brokenPipe[1]);
  expectFailure(result, prefix + "Broken pipe");
}

}  // namespace
}  // namespace quillfen

// The command line as a caller sees it: the real binary, its bytes and exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "cli/messages.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using testing::ProcessResult;
using testing::runTool;

void expectFailure(const ProcessResult& result, const std::string& message) {
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, message);
}

TEST(CommandLine, NoImagePathGivesTheUsageMessage) {
  const ProcessResult result = runTool({});
  expectFailure(result, std::string(messages::usage));
  EXPECT_EQ(result.err.size(), 57u);
}

TEST(CommandLine, MissingFileEchoesThePathExactly) {
  const std::string prefix(messages::notFound);
  EXPECT_EQ(prefix.size(), 30u);
  const std::string paths[] = {
      "", "no/such/picture.png", "/no/such/picture.png", " spaced name .png", "-starts-with-dash",
      "图片/扫描件.png", "line\nbreak.png", "~/tilde.png", "./x/../y.png",
  };
  for (const std::string& path : paths) expectFailure(runTool({path}), prefix + path);
}

TEST(CommandLine, LaterArgumentsAreIgnored) {
  const std::string prefix(messages::notFound);
  expectFailure(runTool({"missing.png", "en-US", "extra", "--help"}), prefix + "missing.png");
}

TEST(CommandLine, DirectoryPassesTheExistenceTestButDoesNotDecode) {
  testing::TempDir dir;
  expectFailure(runTool({dir.path()}), std::string(messages::unreadableImage));
}

TEST(CommandLine, FailedWriteToStandardOutputIsAFailure) {
  const std::string picture = testing::dataPath("english.png");
  const std::string prefix(messages::outputFailed);

  expectFailure(runTool({picture}, testing::StandardOutput::file("/dev/full")), prefix + "No space left on device");
  expectFailure(runTool({picture}, testing::StandardOutput::none()), prefix + "Bad file descriptor");

  int brokenPipe[2];
  ASSERT_EQ(pipe(brokenPipe), 0);
  close(brokenPipe[0]);
  const ProcessResult result = runTool({picture}, testing::StandardOutput::descriptor(brokenPipe[1]));
  close(brokenPipe[1]);
  expectFailure(result, prefix + "Broken pipe");
}

}  // namespace
}  // namespace quillfen

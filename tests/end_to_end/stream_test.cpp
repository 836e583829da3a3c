// Pictures that arrive through a FIFO, through the real binary: the tool reads a FIFO as
// cat does, waiting for its writer and reading to the writer's end.
#include <gtest/gtest.h>

#include "cli/messages.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using test_support::ProcessResult;

// The tool starts first and the writer half a second later: the tool used to open the
// FIFO without waiting, fail at once, and leave the writer blocked for ever.
TEST(Streams, FifoOpenedByItsWriterAfterTheToolStartsIsReadWhole) {
  test_support::TempDir dir;
  const std::string picture = test_support::dataPath("english.png");
  const ProcessResult direct = test_support::runBinary({picture});
  ASSERT_EQ(direct.status, 0);

  const std::string script =
      "mkfifo \"$1/f\" || exit 9; \"$2\" \"$1/f\" & sleep 0.5; timeout 30 cat \"$3\" > \"$1/f\" || exit 8; wait $!";
  const ProcessResult result =
      test_support::runProgram({"/bin/sh", "-c", script, "sh", dir.path(), test_support::toolPath(), picture});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, direct.out);
}

TEST(Streams, FifoWhoseWriterSendsNoPictureIsUnreadable) {
  test_support::TempDir dir;
  const std::string script =
      "mkfifo \"$1/f\" || exit 9; \"$2\" \"$1/f\" & sleep 0.3; echo 'not a picture' > \"$1/f\"; wait $!";
  const ProcessResult result =
      test_support::runProgram({"/bin/sh", "-c", script, "sh", dir.path(), test_support::toolPath()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, messages::unreadableImage);
}

}  // namespace
}  // namespace quillfen

// The caller's environment and argument bytes through the real binary: whatever they
// hold, a success writes nothing to standard error and a failure writes exactly its
// message, in UTF-8.
#include <gtest/gtest.h>

#include "cli/messages.h"
#include "support/run_binary.h"

namespace quillfen {
namespace {

using test_support::dataPath;
using test_support::ProcessResult;

ProcessResult runWithEnvironment(const std::vector<std::string>& assignments,
                                 const std::vector<std::string>& arguments) {
  std::vector<std::string> all{"/usr/bin/env"};
  all.insert(all.end(), assignments.begin(), assignments.end());
  all.push_back(test_support::toolPath());
  all.insert(all.end(), arguments.begin(), arguments.end());
  return test_support::runProgram(all);
}

// libgomp (loaded for Tesseract) reads these as the process loads, before main, and used
// to print its complaints, or its whole settings, to standard error on successful runs.
const std::vector<std::string> kOpenMpSettings = {
    "OMP_NUM_THREADS=",    "OMP_NUM_THREADS=0",    "OMP_NUM_THREADS=-1",      "OMP_NUM_THREADS=abc",
    "OMP_THREAD_LIMIT=0",  "OMP_THREAD_LIMIT=-4",  "GOMP_SPINCOUNT=lots",     "OMP_PROC_BIND=sideways",
    "OMP_PLACES=nowhere{", "OMP_DISPLAY_ENV=true", "OMP_DISPLAY_ENV=verbose", "GOMP_DEBUG=1",
    "OMP_STACKSIZE=1",     "OMP_WAIT_POLICY=x",
};

TEST(Environment, OpenMpVariablesPrintNothingOnSuccess) {
  const std::string blank = dataPath("blank.png");
  for (const std::string& setting : kOpenMpSettings) {
    const ProcessResult result = runWithEnvironment({setting}, {blank, "fr-FR"});
    EXPECT_EQ(result.status, 0) << setting;
    EXPECT_EQ(result.err, "") << setting;
    EXPECT_EQ(result.out, "{\"text\":\"\",\"confidence\":0,\"lines\":0,\"engine\":\"tesseract\"}\n") << setting;
  }
}

TEST(Environment, OpenMpVariablesDoNotChangeTheResult) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{dataPath("english.png")},
                                                    std::vector<std::string>{dataPath("english.png"), "fr-FR"}}) {
    const ProcessResult plain = test_support::runBinary(arguments);
    ASSERT_EQ(plain.status, 0);
    ASSERT_EQ(plain.err, "");
    // All at once; the last of each name counts.
    const ProcessResult result = runWithEnvironment(kOpenMpSettings, arguments);
    EXPECT_EQ(result.status, 0) << arguments.size();
    EXPECT_EQ(result.err, "") << arguments.size();
    EXPECT_EQ(result.out, plain.out) << arguments.size();
  }
}

TEST(Environment, FailuresWriteOnlyTheirMessageWhateverOpenMpVariablesHold) {
  for (const std::string& setting : kOpenMpSettings) {
    const ProcessResult usage = runWithEnvironment({setting}, {});
    EXPECT_EQ(usage.status, 1) << setting;
    EXPECT_EQ(usage.err, messages::usage) << setting;
  }
  const ProcessResult missing = runWithEnvironment(kOpenMpSettings, {"missing.png", "fr-FR"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, std::string(messages::notFound) + "missing.png");
}

TEST(Arguments, IllFormedUtf8IsEchoedAsReplacementCharacters) {
  struct Case {
    std::string path, language, message;
  };
  const std::string fffd = "\xEF\xBF\xBD";
  const std::string english = dataPath("english.png");
  const Case cases[] = {
      {"bad\xff\xfe utf8.png", "", std::string(messages::notFound) + "bad" + fffd + fffd + " utf8.png"},
      // A cut-off three-byte sequence is one U+FFFD; a surrogate's bytes are three.
      {"cut\xe5\x9b.png", "", std::string(messages::notFound) + "cut" + fffd + ".png"},
      {"sur\xed\xa0\x80.png", "", std::string(messages::notFound) + "sur" + fffd + fffd + fffd + ".png"},
      {"图片\xc0\xaf.png", "", std::string(messages::notFound) + "图片" + fffd + fffd + ".png"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = test_support::runBinary({c.path});
    EXPECT_EQ(result.status, 1) << c.message;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.message);
  }
  // A language name is echoed in the engine's description: the same replacement applies.
  const ProcessResult language = test_support::runBinary({english, "xx-\xff\xc3"});
  EXPECT_EQ(language.status, 1);
  EXPECT_EQ(language.out, "");
  EXPECT_EQ(language.err.rfind(messages::recognitionFailed, 0), 0u) << language.err;
  EXPECT_NE(language.err.find("xx-" + fffd + fffd), std::string::npos) << language.err;
  EXPECT_EQ(language.err.find('\xff'), std::string::npos);
}

}  // namespace
}  // namespace quillfen

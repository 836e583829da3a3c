// The caller's environment and argument bytes through the real binary: whatever they
// hold, a success writes nothing to standard error and a failure writes exactly its
// message, in UTF-8.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/messages.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

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

// The tool starts itself once more with glibc's malloc asking for huge pages, keeping the
// caller's own GLIBC_TUNABLES settings; a caller's huge-page setting, an environment too
// large to copy, or none of that changes what the caller gets.
TEST(Environment, GlibcTunablesDoNotChangeTheResult) {
  std::vector<std::string> crowded;
  for (int i = 0; i < 9000; ++i) crowded.push_back("QUILLFEN_TEST_" + std::to_string(i) + "=x");
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{dataPath("english.png")},
                                                    std::vector<std::string>{dataPath("english.png"), "fr-FR"}}) {
    const ProcessResult plain = test_support::runBinary(arguments);
    ASSERT_EQ(plain.status, 0);
    for (const std::vector<std::string>& settings :
         {std::vector<std::string>{"GLIBC_TUNABLES="}, {"GLIBC_TUNABLES=glibc.malloc.hugetlb=0"},
          {"GLIBC_TUNABLES=glibc.malloc.check=0:glibc.malloc.arena_max=1"}, crowded}) {
      const ProcessResult result = runWithEnvironment(settings, arguments);
      EXPECT_EQ(result.status, 0) << settings.front();
      EXPECT_EQ(result.err, "") << settings.front();
      EXPECT_EQ(result.out, plain.out) << settings.front();
    }
  }
}

// Started by running the dynamic loader on it, the tool does not restart itself: there
// /proc/self/exe is the loader, which took the picture for the program to run.
TEST(Environment, ToolStartedThroughTheDynamicLoaderReads) {
  std::string loader;
  for (const char* candidate : {"/lib64/ld-linux-x86-64.so.2", "/lib/ld-linux-aarch64.so.1"}) {
    if (std::ifstream(candidate)) loader = candidate;
  }
  if (loader.empty()) GTEST_SKIP() << "no known dynamic loader here";
  const std::string picture = dataPath("english.png");
  const ProcessResult result = test_support::runProgram({loader, test_support::toolPath(), picture});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, test_support::runBinary({picture}).out);
}

// Where the kernel grants huge pages on request, the running tool has asked for them
// (its heap is marked for huge pages), unless the caller's GLIBC_TUNABLES said otherwise
// or a library is preloaded.
// The tool is looked at while it waits for a FIFO's writer.
TEST(Environment, ToolAsksForHugePagesWhereTheKernelGrantsThemOnRequest) {
#ifdef QUILLFEN_SANITIZED
  GTEST_SKIP() << "under AddressSanitizer glibc's malloc is not the allocator";
#endif
  std::ifstream modeFile("/sys/kernel/mm/transparent_hugepage/enabled");
  std::stringstream mode;
  mode << modeFile.rdbuf();
  if (mode.str().find("[madvise]") == std::string::npos) GTEST_SKIP() << "huge pages: " << mode.str();

  const std::string picture = dataPath("english.png");
  const std::string expected = test_support::runBinary({picture}).out;
  // Exits 6 when no mapping of the tool's is marked "hg" within three seconds.
  const std::string script =
      "mkfifo \"$1/f\" || exit 9; env $4 \"$2\" \"$1/f\" & tool=$!; found=; "
      "for i in $(seq 60); do grep -q '^VmFlags:.* hg' /proc/$tool/smaps && found=1 && break; sleep 0.05; done; "
      "timeout 30 cat \"$3\" > \"$1/f\" || exit 8; wait $tool || exit 7; [ -n \"$found\" ] || exit 6";
  const std::pair<std::string, int> cases[] = {
      {"QUILLFEN_TEST=1", 0},
      {"GLIBC_TUNABLES=glibc.malloc.check=0:glibc.malloc.arena_max=4", 0},
      {"GLIBC_TUNABLES=glibc.malloc.hugetlb=0", 6},
      {"LD_PRELOAD=libm.so.6", 6},  // a preloaded library may bring its own malloc
  };
  for (const auto& [setting, status] : cases) {
    test_support::TempDir dir;
    const ProcessResult result = test_support::runProgram(
        {"/bin/sh", "-c", script, "sh", dir.path(), test_support::toolPath(), picture, setting});
    EXPECT_EQ(result.status, status) << setting;
    EXPECT_EQ(result.err, "") << setting;
    EXPECT_EQ(result.out, expected) << setting;
  }
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

// Work run in a child process: its bytes come back whole (a first part of them early, when
// the child sends one), and a child that fails, computes past its processor time or waits
// forever gives nothing instead of holding up the tool.
#include "platform/child_process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace quillfen::platform {
namespace {

TEST(ChildProcess, ItsBytesComeBackWhole) {
  EXPECT_EQ(runInChildProcess([] { return std::string("layout"); }, 5), "layout");
  EXPECT_EQ(runInChildProcess([] { return std::string(); }, 5), "");
  // Far more than a pipe holds, every byte value included.
  std::string large(3 << 20, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 256);
  EXPECT_EQ(runInChildProcess([&] { return large; }, 5), large);
}

TEST(ChildProcess, AChildThatFailsGivesNothing) {
  EXPECT_FALSE(runInChildProcess([]() -> std::string { throw std::runtime_error("failed"); }, 5));
  EXPECT_FALSE(runInChildProcess([]() -> std::string { _exit(3); }, 5));
  EXPECT_FALSE(runInChildProcess([]() -> std::string { raise(SIGKILL); return "never"; }, 5));
}

TEST(ChildProcess, AChildIsCutOffAfterItsProcessorTime) {
  volatile bool forever = true;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(runInChildProcess([&]() -> std::string { while (forever) {} return "never"; }, 1));
  // Cut by the processor-time limit, well before the clock's guard (9 s here) would.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
}

TEST(ChildProcess, AChildThatWaitsIsCutOffByTheClock) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(runInChildProcess([]() -> std::string { for (;;) pause(); }, 1));
  // A bound on waiting, not a speed goal: without the guard the call would not return.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(ChildProcess, ItsBytesAreCollectedOnce) {
  ChildProcess child([] { return std::string("guess"); }, 5);
  EXPECT_EQ(child.result(), "guess");
  EXPECT_FALSE(child.result());
}

TEST(ChildProcess, AFirstPartArrivesWhileTheChildGoesOn) {
  // The child goes on only once the parent has its first part: were the part held back
  // until the child ends, neither would move until the clock's guard cut the child off.
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  ChildProcess child(
      [&](const ChildProcess::Send& send) {
        send("measured");
        char word = 0;
        return std::string(read(go[0], &word, 1) == 1 ? "checked" : "no word");
      },
      1);
  EXPECT_EQ(child.firstPart(), "measured");
  EXPECT_EQ(write(go[1], "x", 1), 1);
  EXPECT_EQ(child.result(), "checked");
  close(go[0]);
  close(go[1]);

  // Both parts whole, far more than a pipe holds, every byte value included.
  std::string large(3 << 20, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 256);
  ChildProcess twoLarge(
      [&](const ChildProcess::Send& send) {
        send(large);
        return large + "rest";
      },
      5);
  EXPECT_EQ(twoLarge.firstPart(), large);
  EXPECT_EQ(twoLarge.result(), large + "rest");
}

TEST(ChildProcess, AFirstPartNeverSentGivesNothing) {
  ChildProcess silent([](const ChildProcess::Send&) { return std::string("the rest"); }, 5);
  EXPECT_FALSE(silent.firstPart());
  EXPECT_FALSE(silent.result());  // stopped when its first part did not come
  ChildProcess failing([](const ChildProcess::Send&) -> std::string { _exit(3); }, 5);
  EXPECT_FALSE(failing.firstPart());
  volatile bool forever = true;
  ChildProcess cutOff(
      [&](const ChildProcess::Send&) -> std::string {
        while (forever) {
        }
        return "never";
      },
      1);
  EXPECT_FALSE(cutOff.firstPart());
  // A child that fails after its first part gives that part, and nothing more.
  ChildProcess failsLater(
      [](const ChildProcess::Send& send) -> std::string {
        send("measured");
        throw std::runtime_error("failed");
      },
      5);
  EXPECT_EQ(failsLater.firstPart(), "measured");
  EXPECT_FALSE(failsLater.result());
}

TEST(ChildProcess, AChildDroppedUncollectedIsStopped) {
  const auto start = std::chrono::steady_clock::now();
  { ChildProcess unwanted([]() -> std::string { for (;;) pause(); }, 5); }
  {
    ChildProcess partTaken(
        [](const ChildProcess::Send& send) -> std::string {
          send("measured");
          for (;;) pause();
        },
        5);
    EXPECT_EQ(partTaken.firstPart(), "measured");
  }
  // Dropping it kills and reaps the child at once; waiting for it would not return.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(ChildProcess, WhatAChildPrintsGoesNowhere) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const auto bytes = runInChildProcess([] {
    std::printf("to standard output\n");
    std::fflush(stdout);
    std::fprintf(stderr, "to standard error\n");
    return std::string("done");
  }, 5);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(bytes, "done");
}

}  // namespace
}  // namespace quillfen::platform

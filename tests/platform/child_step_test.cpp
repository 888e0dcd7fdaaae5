// The forked child that runs risky steps: its verdict comes back, its death
// (signal, sanitizer report, CPU limit) is told apart from a verdict, and
// nothing it does reaches the caller.
#include "platform/ChildStep.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>

namespace {

using Process::kChildDied;
using Process::RunInChild;

unsigned char DoubleFree() {
  char* volatile block = static_cast<char*>(std::malloc(16));
  std::free(block);
  std::free(block);
  return 1;
}

unsigned char Segv() { return std::raise(SIGSEGV) == 0 ? 1 : 2; }

TEST(RunInChild, VerdictsAndDeaths) {
  EXPECT_EQ(RunInChild([] { return static_cast<unsigned char>(0); }, 10), 0);
  EXPECT_EQ(RunInChild([] { return static_cast<unsigned char>(255); }, 10), 255);
  EXPECT_EQ(RunInChild(Segv, 10), kChildDied);
  EXPECT_EQ(RunInChild([]() -> unsigned char { std::abort(); }, 10), kChildDied);
  // What SQLite does on some damaged files: the allocator's report ends the child only.
  EXPECT_EQ(RunInChild(DoubleFree, 10), kChildDied);
}

TEST(RunInChild, ChangesStayInTheChild) {
  int value = 1;
  EXPECT_EQ(RunInChild(
                [&value] {
                  value = 2;
                  return static_cast<unsigned char>(value);
                },
                10),
            2);
  EXPECT_EQ(value, 1);
}

TEST(RunInChild, VerdictArrivesWhileChildrenAreIgnored) {
  // With SIGCHLD ignored the child is reaped at once and waitpid knows nothing.
  const auto previous = std::signal(SIGCHLD, SIG_IGN);
  EXPECT_EQ(RunInChild([] { return static_cast<unsigned char>(7); }, 10), 7);
  EXPECT_EQ(RunInChild(Segv, 10), kChildDied);
  std::signal(SIGCHLD, previous);
}

TEST(RunInChild, EndlessStepIsStoppedByTheCpuLimit) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunInChild(
                []() -> unsigned char {
                  for (volatile unsigned long i = 0;; i = i + 1) {
                  }
                },
                1),
            kChildDied);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

}  // namespace

// The forked child that runs risky steps: its verdict comes back, its death
// (signal, sanitizer report, CPU limit) is told apart from a verdict, and
// nothing it does reaches the caller.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>

#include "platform/ChildStep.h"

namespace {

using Process::kChildDied;

int value = 1;  // changed only inside children

unsigned char DoubleFree() {
  char* volatile block = static_cast<char*>(std::malloc(16));
  std::free(block);
  std::free(block);
  return 1;
}

unsigned char Endless() {
  for (volatile unsigned long i = 0;; i = i + 1) {
  }
}

TEST(RunInChild, VerdictsAndDeaths) {
  const struct {
    std::function<unsigned char()> step;
    unsigned long seconds;
    int want;
  } cases[] = {
      {[] { return static_cast<unsigned char>(0); }, 10, 0},
      {[] { return static_cast<unsigned char>(255); }, 10, 255},
      {[] { return static_cast<unsigned char>(value = 2); }, 10, 2},
      {[]() -> unsigned char { return std::raise(SIGSEGV) == 0 ? 1 : 2; }, 10, kChildDied},
      {[]() -> unsigned char { std::abort(); }, 10, kChildDied},
      // What SQLite does on some damaged files: the allocator's report ends the child only.
      {DoubleFree, 10, kChildDied},
      {Endless, 1, kChildDied},
  };
  // With SIGCHLD ignored the child is reaped at once and waitpid knows nothing.
  for (const auto handler : {SIG_DFL, SIG_IGN}) {
    const auto previous = std::signal(SIGCHLD, handler);
    for (const auto& c : cases) EXPECT_EQ(Process::RunInChild(c.step, c.seconds), c.want);
    std::signal(SIGCHLD, previous);
  }
  EXPECT_EQ(value, 1);
}

}  // namespace

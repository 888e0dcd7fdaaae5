// Programs run under a wall-clock limit: output collected, a child past its
// limit killed, and no child left behind either way, also while the caller
// ignores SIGCHLD.
#include "platform/Process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <csignal>

namespace {

using std::chrono::milliseconds;

TEST(RunBounded, OutputTimeoutAndNoChildLeft) {
  struct Case {
    std::vector<std::string> argv;
    bool ignoreChildren;
    bool started, timedOut;
    const char* output;
    int exitCode;
  };
  const Case cases[] = {
      {{"/bin/echo", "sound"}, false, true, false, "sound\n", 0},
      {{"/bin/echo", "sound"}, true, true, false, "sound\n", -1},
      {{"/bin/sh", "-c", "exit 127"}, false, true, false, "", 127},
      {{"/bin/sh", "-c", "echo early; exec sleep 30"}, false, true, true, "early\n", -1},
      {{"/bin/sh", "-c", "exec sleep 30"}, true, true, true, "", -1},
      {{"/bin/sh", "-c", "exec sleep 30 >&-"}, false, true, true, "", -1},  // output closed first
      {{"/bin/sh", "-c", "echo 0123456789abcdef0123"}, false, true, false, "0123456789abcdef", 0},
      {{"/nonexistent/program"}, false, false, false, "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argv.back());
    const auto previous = std::signal(SIGCHLD, c.ignoreChildren ? SIG_IGN : SIG_DFL);
    const auto start = std::chrono::steady_clock::now();
    const Process::BoundedRun run = Process::RunBounded(c.argv, milliseconds(500), 16);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    std::signal(SIGCHLD, previous);
    EXPECT_EQ(run.started, c.started);
    EXPECT_EQ(run.timedOut, c.timedOut);
    EXPECT_EQ(run.output, c.output);
    EXPECT_EQ(run.exitCode, c.exitCode);
    // Neither running nor a zombie: this process has no child at all.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
  }
}

}  // namespace

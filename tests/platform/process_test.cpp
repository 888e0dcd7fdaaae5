// Programs run under a wall-clock limit: output collected, a child past its
// limit killed, and no child left behind either way, also while the caller
// ignores SIGCHLD.
#include "platform/Process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "platform/TestData.h"

namespace {

using std::chrono::milliseconds;

TEST(RunBounded, OutputTimeoutAndNoChildLeft) {
  for (const auto& row : testdata::Rows("platform", "bounded_runs.tsv")) {
    ASSERT_GE(row.size(), 6u);
    const std::vector<std::string> argv(row.begin() + 5, row.end());
    SCOPED_TRACE(argv.back());
    const auto previous = std::signal(SIGCHLD, row[0] == "1" ? SIG_IGN : SIG_DFL);
    const auto start = std::chrono::steady_clock::now();
    const Process::BoundedRun run = Process::RunBounded(argv, milliseconds(500), 16);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    std::signal(SIGCHLD, previous);
    std::string output;
    for (const char c : run.output) output += c == '\n' ? std::string("\\n") : std::string(1, c);
    EXPECT_EQ(std::to_string(run.started) + std::to_string(run.timedOut), row[1] + row[2]);
    EXPECT_EQ(std::to_string(run.exitCode), row[3]);
    EXPECT_EQ(output, row[4]);
    // Neither running nor a zombie: this process has no child at all.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
  }
}

}  // namespace

// Running one risky step in a forked child process, so that a crash inside a
// C library we cannot change (SQLite 2.8 frees memory twice on some damaged
// files) ends the child and not the caller. Only the verdict comes back.
#pragma once

#include <functional>

namespace Process {

// The child ended without a verdict: a signal, a sanitizer report, the CPU limit.
constexpr int kChildDied = -1;
// No child could be started.
constexpr int kChildNotRun = -2;

// Runs `step` in a child made by fork(), waits for it and returns the byte
// the step returned, or kChildDied, or kChildNotRun. The child sees a copy of the
// caller's memory (whatever it changes there is lost), has only the calling
// thread, writes standard error to /dev/null, takes fatal signals with their
// default action, reports no sanitizer crash of its own and is stopped after
// `cpuSeconds` of CPU time. It never returns into the caller's code: it
// leaves with _exit, so no atexit handler or leak check runs there.
// Starts no thread; the caller blocks until the child has ended.
int RunInChild(const std::function<unsigned char()>& step, unsigned long cpuSeconds);

}  // namespace Process

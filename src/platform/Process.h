// Running an external program with its standard output and standard error
// captured through one pipe, as CreateProcess with redirected handles did.
// posix_spawn keeps the child's set-up free of fork's copy of our state.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/CString.h"

namespace Process {

// Splits a command line into arguments by the Windows rules: white space
// separates; double quotes group; 2n backslashes before a quote give n
// backslashes and the quote delimits, 2n+1 give n and a literal quote; other
// backslashes are literal; "" inside quotes is a literal quote.
std::vector<CString> CommandLineToArgv(const char16_t* commandLine);

// Receives each chunk read from the child's output pipe, in order.
using OutputSink = std::function<void(const char* bytes, size_t size)>;

// Starts argv[0] (searched in PATH when it has no slash) with `argv`, the
// caller's environment, standard input from /dev/null and standard output
// and error into one pipe; `dir` empty means the caller's working folder.
// Reads the pipe in chunks of at most `chunkSize` bytes until every writer
// has closed it, then reaps the child. Returns false when the program could
// not be started (nothing is called then); otherwise sets `exitCode` to the
// exit status, or 128 + the signal number for a child killed by a signal.
// REQUIRES: argv is not empty.
bool RunCaptured(const std::vector<std::string>& argv, const std::string& dir, size_t chunkSize,
                 const OutputSink& sink, unsigned long& exitCode);

// What RunBounded saw of its child.
struct BoundedRun {
  bool started = false;   // false: the program could not be started
  bool timedOut = false;  // the limit passed first and the child was killed
  std::string output;     // its standard output, at most the bytes asked for
  int exitCode = -1;      // when it exited and the caller does not ignore SIGCHLD
};

// Starts the program at the path argv[0] (no PATH search) with `argv`,
// standard input and error on /dev/null and standard output into a pipe, and
// keeps at most `maxOutput` bytes of what it writes. A child that has not
// ended when `limit` of wall-clock time has passed is killed with SIGKILL.
// The child is reaped on every path, also when the caller ignores SIGCHLD
// (the output then still arrives, the exit status would not: callers read
// their answer from the output). REQUIRES: argv is not empty.
BoundedRun RunBounded(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                      size_t maxOutput);

}  // namespace Process

// POSIX side of running external programs: the Windows command-line split,
// posix_spawn with both output streams on one pipe, a run bounded by a
// wall-clock limit, and reaping the child on every path so that no zombie is
// left behind.
#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>

namespace Process {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

class FileActions {
 public:
  FileActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
  ~FileActions() {
    if (ok_) ::posix_spawn_file_actions_destroy(&actions_);
  }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  bool ok() const { return ok_; }
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
  bool ok_;
};

// Waits for the child when it goes out of scope. The pipe is closed first, so
// a child still writing gets EPIPE instead of blocking the wait forever.
class Child {
 public:
  Child(pid_t pid, Fd& pipe) : pid_(pid), pipe_(pipe) {}
  ~Child() {
    if (pid_ <= 0) return;
    pipe_.Close();
    int status = 0;
    Wait(status);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Reaps the child; false when waitpid failed.
  bool Wait(int& status) {
    pid_t rc;
    do {
      rc = ::waitpid(pid_, &status, 0);
    } while (rc < 0 && errno == EINTR);
    pid_ = -1;
    return rc > 0;
  }

 private:
  pid_t pid_;
  Fd& pipe_;
};

// The null-terminated argument array posix_spawn wants; the pointers live as
// long as `argv`.
std::vector<char*> ArgPointers(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  return args;
}

}  // namespace

std::vector<CString> CommandLineToArgv(const char16_t* commandLine) {
  std::vector<CString> args;
  const std::u16string_view line = commandLine != nullptr ? commandLine : u"";
  size_t i = 0;
  const auto isSpace = [](char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
  };
  while (i < line.size()) {
    while (i < line.size() && isSpace(line[i])) ++i;
    if (i == line.size()) break;
    std::u16string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !isSpace(line[i]))) {
      if (line[i] == u'\\') {
        size_t slashes = 0;
        while (i < line.size() && line[i] == u'\\') {
          ++slashes;
          ++i;
        }
        if (i < line.size() && line[i] == u'"') {
          arg.append(slashes / 2, u'\\');
          if (slashes % 2 == 1) {
            arg += u'"';
            ++i;
          }
        } else {
          arg.append(slashes, u'\\');
        }
      } else if (line[i] == u'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          arg += u'"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += line[i++];
      }
    }
    args.emplace_back(std::move(arg));
  }
  return args;
}

bool RunCaptured(const std::vector<std::string>& argv, const std::string& dir, size_t chunkSize,
                 const OutputSink& sink, unsigned long& exitCode) {
  if (argv.empty() || chunkSize == 0) return false;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  Fd readEnd(fds[0]);
  Fd writeEnd(fds[1]);

  FileActions actions;
  if (!actions.ok()) return false;
  // dup2 clears close-on-exec on the copies, so the child keeps exactly its
  // three standard descriptors from us.
  if (::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0) != 0 ||
      ::posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), 1) != 0 ||
      ::posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), 2) != 0 ||
      (!dir.empty() && ::posix_spawn_file_actions_addchdir_np(actions.get(), dir.c_str()) != 0)) {
    return false;
  }
  std::vector<char*> args = ArgPointers(argv);

  pid_t pid = -1;
  // glibc reports a failed exec (or chdir) as the result of posix_spawnp.
  const int rc = ::posix_spawnp(&pid, args[0], actions.get(), nullptr, args.data(), environ);
  writeEnd.Close();  // our copy would keep the pipe open forever
  if (rc != 0) return false;

  Child child(pid, readEnd);
  std::vector<char> buffer(chunkSize);
  for (;;) {
    const ssize_t n = ::read(readEnd.get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    sink(buffer.data(), static_cast<size_t>(n));
  }
  readEnd.Close();
  int status = 0;
  if (!child.Wait(status)) return false;
  if (WIFEXITED(status)) {
    exitCode = static_cast<unsigned long>(WEXITSTATUS(status));
  } else if (WIFSIGNALED(status)) {
    exitCode = 128ul + static_cast<unsigned long>(WTERMSIG(status));
  }
  return true;
}

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<long long>(left.count(), 0, 60 * 60 * 1000));
}

// Reads the child's output until it closes or the deadline passes; true on
// the close.
bool ReadUntilClosed(int fd, Clock::time_point deadline, size_t maxOutput, std::string& output) {
  char buffer[4096];
  for (;;) {
    pollfd entry{fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return true;
    output.append(buffer, std::min(static_cast<size_t>(n), maxOutput - output.size()));
  }
}

// True once the child is gone: reaped now (its exit code, when it exited,
// goes to `exitCode`), or already reaped by the system because the caller
// ignores SIGCHLD (ECHILD).
bool Reaped(pid_t pid, int flags, int& exitCode) {
  int status = 0;
  pid_t rc;
  do {
    rc = ::waitpid(pid, &status, flags);
  } while (rc < 0 && errno == EINTR);
  if (rc > 0 && WIFEXITED(status)) exitCode = WEXITSTATUS(status);
  return rc != 0;
}

}  // namespace

BoundedRun RunBounded(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                      size_t maxOutput) {
  BoundedRun run;
  const Clock::time_point deadline = Clock::now() + limit;
  int fds[2];
  if (argv.empty() || ::pipe2(fds, O_CLOEXEC) != 0) return run;
  Fd readEnd(fds[0]);
  Fd writeEnd(fds[1]);
  FileActions actions;
  if (!actions.ok() ||
      ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0) != 0 ||
      ::posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), 1) != 0 ||
      ::posix_spawn_file_actions_addopen(actions.get(), 2, "/dev/null", O_WRONLY, 0) != 0) {
    return run;
  }
  std::vector<char*> args = ArgPointers(argv);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, args[0], actions.get(), nullptr, args.data(), environ);
  writeEnd.Close();
  if (rc != 0) return run;
  run.started = true;

  const bool closed = ReadUntilClosed(readEnd.get(), deadline, maxOutput, run.output);
  readEnd.Close();
  // A child that closed its output may still be on its way out; it gets what
  // is left of the limit, in short naps, before it is killed like the rest.
  if (closed) {
    constexpr timespec kNap{0, 2 * 1000 * 1000};
    while (Clock::now() < deadline) {
      if (Reaped(pid, WNOHANG, run.exitCode)) return run;
      ::nanosleep(&kNap, nullptr);
    }
  }
  run.timedOut = true;
  ::kill(pid, SIGKILL);
  Reaped(pid, 0, run.exitCode);
  return run;
}

}  // namespace Process

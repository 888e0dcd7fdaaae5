// POSIX side of running external programs: the Windows command-line split,
// posix_spawn with both output streams on one pipe, and reaping the child on
// every path so that no zombie is left behind.
#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

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
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

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

}  // namespace Process

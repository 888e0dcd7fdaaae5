// The forked child of RunInChild. A pipe carries the verdict, so the
// caller learns it even when SIGCHLD is ignored and waitpid cannot report the
// status; a pipe that closes without a verdict byte means the child died.
#include "platform/ChildStep.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

// Sanitizer runtimes install a death callback (libFuzzer's writes a crash
// artifact); a report inside the child must only end the child.
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace Process {
namespace {

[[noreturn]] void RunChild(const std::function<unsigned char()>& step, unsigned long cpuSeconds,
                           int verdictFd) {
  if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(nullptr);
  for (const int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGXCPU}) {
    std::signal(sig, SIG_DFL);
  }
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) ::dup2(null, STDERR_FILENO);
  // A crash here is expected now and then; it leaves no core file behind.
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  rlimit cpu{};
  if (::getrlimit(RLIMIT_CPU, &cpu) == 0 &&
      (cpu.rlim_max == RLIM_INFINITY || cpu.rlim_max > cpuSeconds)) {
    cpu.rlim_cur = cpuSeconds;
    ::setrlimit(RLIMIT_CPU, &cpu);
  }
  const unsigned char verdict = step();
  while (::write(verdictFd, &verdict, 1) < 0 && errno == EINTR) {
  }
  ::_exit(0);
}

}  // namespace

int RunInChild(const std::function<unsigned char()>& step, unsigned long cpuSeconds) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return kChildNotRun;
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return kChildNotRun;
  }
  if (pid == 0) {
    ::close(fds[0]);
    RunChild(step, cpuSeconds, fds[1]);
  }
  ::close(fds[1]);
  unsigned char verdict = 0;
  ssize_t got;
  while ((got = ::read(fds[0], &verdict, 1)) < 0 && errno == EINTR) {
  }
  ::close(fds[0]);
  // Reap it; with SIGCHLD ignored this fails harmlessly (ECHILD).
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return got == 1 ? verdict : kChildDied;
}

}  // namespace Process

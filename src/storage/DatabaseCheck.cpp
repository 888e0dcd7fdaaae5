// The library side of the outside check: finding the checking program,
// sizing its limit and reading its one-word answer. The reading itself lives
// in that program (tools/itemtool/DbCheck.cpp), never in this process.
#include "storage/DatabaseCheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "platform/Process.h"

namespace {

// The size of the file `name`, or -1 when there is none.
long long FileSize(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string FindDatabaseChecker() {
  const std::string program = Files::ProgramPath();
  for (const std::string& dir : {program.empty() ? std::string() : Folder(program),
                                 std::string(ITEMLIB_INSTALL_BINDIR "/")}) {
    const std::string candidate = dir + kDatabaseCheckerName;
    if (!dir.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::string();
}

std::chrono::milliseconds DatabaseCheckLimit(unsigned long long bytes) {
  // SQLite reads several MB a second even in a sanitizer build; the base
  // covers starting the program on a busy machine.
  return std::chrono::milliseconds(5000 + 2000 * static_cast<long long>(bytes >> 20));
}

DatabaseCheck CheckProjectDatabase(const CString& path, const DatabaseCheckOptions& options) {
  const std::string name = ToNativePath(path);
  const long long file = FileSize(name);
  const long long journal = FileSize(name + "-journal");
  if (file <= 0 && journal < 0) return DatabaseCheck::kSound;
  const std::string checker = options.checker.empty() ? FindDatabaseChecker() : options.checker;
  if (checker.empty()) return DatabaseCheck::kNoChecker;
  const auto limit = options.limit.count() > 0
                         ? options.limit
                         : DatabaseCheckLimit(static_cast<unsigned long long>(
                               std::max(file, 0LL) + std::max(journal, 0LL)));
  // "--" keeps a file name that starts with a dash a file name.
  const Process::BoundedRun run = Process::RunBounded({checker, "--", name}, limit, 16);
  // 127: the program was found but could not run (its libraries missing).
  if (!run.started || (run.output.empty() && run.exitCode == 127)) {
    return DatabaseCheck::kNoChecker;
  }
  if (run.timedOut) return DatabaseCheck::kTimedOut;
  return run.output == "sound\n" ? DatabaseCheck::kSound : DatabaseCheck::kDamaged;
}

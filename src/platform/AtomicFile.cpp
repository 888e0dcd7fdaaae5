// Temporary file, fsync and rename: the POSIX sequence that makes a save
// all-or-nothing. Paths reach the system only through ToNativePath.
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/FileSystem.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links to the file they name, which may not exist yet.
// A loop of links stops at the kernel's own limit and is left to open().
std::string ResolveLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string link(static_cast<size_t>(st.st_size) + 1, '\0');
    const ssize_t n = readlink(path.c_str(), &link[0], link.size());
    if (n <= 0 || static_cast<size_t>(n) >= link.size()) break;
    link.resize(static_cast<size_t>(n));
    path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
  }
  return path;
}

// The folder entry of a renamed file is durable only once its folder is.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

CString ErrnoText(int error) { return CString::FromUtf8(std::strerror(error)); }

CAtomicFile::CAtomicFile(const CString& target) : target_(ResolveLinks(ToNativePath(target))) {
  struct stat st;
  if (stat(target_.c_str(), &st) == 0) {
    exists_ = true;
    inPlace_ = !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
    mode_ = st.st_mode & 07777;
  }
}

CAtomicFile::~CAtomicFile() { Discard(); }

bool CAtomicFile::Open(CString& error) {
  if (inPlace_) {
    writePath_ = CString::FromUtf8(target_);
    return true;
  }
  const std::string folder = FolderOf(target_);
  const std::string base = target_.substr(target_.rfind('/') + 1);
  // O_EXCL with 0666 lets the umask decide a new file's bits, as for any
  // file the user creates; the name only has to be unused.
  auto seed = static_cast<unsigned long>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp-%08lx", (seed + attempt * 7919UL) & 0xffffffffUL);
    std::string candidate = folder + "/." + base + suffix;
    const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      temp_ = std::move(candidate);
      writePath_ = CString::FromUtf8(temp_);
      return true;
    }
    if (errno != EEXIST) break;
  }
  error = ErrnoText(errno);
  return false;
}

bool CAtomicFile::Commit(CString& error) {
  if (inPlace_) return true;
  if (temp_.empty()) {
    error = ErrnoText(EBADF);
    return false;
  }
  int failure = 0;
  const int fd = open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fsync(fd) != 0) failure = errno;
  if (fd >= 0) close(fd);
  if (failure == 0 && exists_ && chmod(temp_.c_str(), mode_) != 0) failure = errno;
  if (failure == 0 && rename(temp_.c_str(), target_.c_str()) != 0) failure = errno;
  if (failure != 0) {
    Discard();
    error = ErrnoText(failure);
    return false;
  }
  temp_.clear();
  SyncFolder(FolderOf(target_));
  return true;
}

void CAtomicFile::Discard() {
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

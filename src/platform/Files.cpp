// POSIX side of the file services: every call that touches the file system
// for the path and file functions lives here, so the rest of the library
// never sees a file descriptor.
#include "platform/Files.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace Files {
namespace {

// Closes a descriptor on every path out of a function.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether closing succeeded (a late write error).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

int RemoveEntry(const char* path, const struct stat* /*info*/, int flag, struct FTW* ftw) {
  if (ftw->level == 0) return 0;  // the folder itself stays
  const int rc = (flag == FTW_DP) ? ::rmdir(path) : ::unlink(path);
  return rc == 0 ? 0 : 1;
}

// Offset of the CheckSum field of the PE optional header, or 0 when `image`
// is not a PE image. The field sits 64 bytes into the optional header in
// both the 32- and the 64-bit layout.
size_t CheckSumOffset(const unsigned char* image, size_t size) {
  if (size < 0x40 || image[0] != 'M' || image[1] != 'Z') return 0;
  const size_t peOffset =
      static_cast<size_t>(image[0x3C]) | (static_cast<size_t>(image[0x3D]) << 8) |
      (static_cast<size_t>(image[0x3E]) << 16) | (static_cast<size_t>(image[0x3F]) << 24);
  const size_t field = peOffset + 4 + 20 + 64;
  if (peOffset > size || field + 4 > size) return 0;
  if (std::memcmp(image + peOffset, "PE\0\0", 4) != 0) return 0;
  return field;
}

}  // namespace

CString FromNativePath(std::string_view native) {
  CString path = CString::FromUtf8(native);
  path.Replace(u'/', u'\\');
  return path;
}

std::string TempDir() {
  std::string dir = EnvOrEmpty("TMPDIR");
  if (dir.empty()) dir = "/tmp";
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string CreateUniqueFile(const std::string& dir, const std::string& prefix,
                             const std::string& suffix) {
  std::string name = dir + "/" + prefix + "XXXXXX" + suffix;
  Fd fd(::mkstemps(&name[0], static_cast<int>(suffix.size())));
  if (fd.get() < 0) return std::string();
  return name;
}

int MakeDir(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno; }

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RemoveDir(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

bool RemoveContents(const std::string& dir) {
  // 16 descriptors are plenty: nftw closes and reopens folders beyond that.
  return ::nftw(dir.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

std::string RealPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

bool ReadAll(const std::string& path, std::vector<unsigned char>& data, size_t maxBytes) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return false;
  std::vector<unsigned char> content;
  unsigned char buffer[65536];
  while (content.size() < maxBytes) {
    const size_t want = std::min(sizeof buffer, maxBytes - content.size());
    const ssize_t n = ::read(fd.get(), buffer, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    content.insert(content.end(), buffer, buffer + n);
  }
  data.swap(content);
  return true;
}

bool WriteAll(const std::string& path, const unsigned char* data, size_t size) {
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.get() < 0) return false;
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd.get(), data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return fd.Close();
}

std::string ProgramPath() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return std::string();
  return std::string(buffer, static_cast<size_t>(n));
}

std::string LocalAppDataDir() {
  std::string dir = EnvOrEmpty("XDG_DATA_HOME");
  if (dir.empty()) {
    const std::string home = EnvOrEmpty("HOME");
    if (home.empty()) return std::string();
    dir = home + "/.local/share";
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

int LastError() { return errno; }

std::string ErrorText(int error) {
  // The library runs on one thread, so strerror's shared buffer is safe.
  return std::strerror(error);
}

uint32_t PeCheckSum(const unsigned char* image, size_t size) {
  const size_t skip = CheckSumOffset(image, size);
  // The field's bytes count as zeros: a header at an odd offset puts the
  // field across word boundaries, where skipping whole words would keep half
  // of it and drop a byte on either side.
  const auto byteAt = [&](size_t i) -> uint32_t {
    return skip != 0 && i >= skip && i < skip + 4 ? 0 : image[i];
  };
  uint32_t sum = 0;
  for (size_t i = 0; i < size; i += 2) {
    const uint32_t word = byteAt(i) | (i + 1 < size ? byteAt(i + 1) << 8 : 0);
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return sum + static_cast<uint32_t>(size);
}

}  // namespace Files

// Safe saves and checked loads of whole serial files: every way a write can
// fail leaves the file before it as it was, and damaged gzip data is refused.
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "SerialTestUtil.h"
#include "serial/SerialDo.h"
#include "serial/SerialFile.h"

namespace {

using testutil::TempPath;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// An object of `size` bytes that gzip cannot shrink, so that limits on the
// file hit it wherever they fall.
std::function<bool(Serial::ISerialStream&)> Noise(size_t size, unsigned seed = 1) {
  return [size, seed](Serial::ISerialStream& s) {
    std::vector<unsigned char> bytes(size);
    unsigned x = seed;
    for (auto& b : bytes) b = static_cast<unsigned char>((x = x * 1103515245u + 12345u) >> 16);
    s.WriteField(static_cast<unsigned int>(size), bytes.data());
    return true;
  };
}

bool Save(const std::string& path, int level, const std::function<bool(Serial::ISerialStream&)>& body,
          std::string* reason = nullptr) {
  CString error;
  const bool ok = Serial::SaveSerialFile(CString::FromUtf8(path), level, body, error);
  if (reason) *reason = error.ToUtf8();
  return ok;
}

// Names in `folder` other than . and ..; a stray temporary file shows here.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

std::string Folder(const std::string& name) {
  const std::string folder = TempPath(name);
  mkdir(folder.c_str(), 0755);
  for (const std::string& entry : Entries(folder)) unlink((folder + "/" + entry).c_str());
  return folder;
}

TEST(SaveSerialFile, FailureAfterAnyByteCountKeepsTheOldFileAndNoTemporary) {
  const std::string folder = Folder("save-limits");
  const std::string path = folder + "/project.serial";
  signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  for (const int level : {Serial::kPlainFile, 1}) {
    ASSERT_TRUE(Save(path, level, Noise(150000, 7)));
    const std::string before = Slurp(path);
    for (const rlim_t limit : {0, 1, 97, 109, 4096, 65535, 65536, 65537, 131072, 149999}) {
      rlimit small = saved;
      small.rlim_cur = limit;
      setrlimit(RLIMIT_FSIZE, &small);
      std::string reason;
      const bool ok = Save(path, level, Noise(200000, 9), &reason);
      setrlimit(RLIMIT_FSIZE, &saved);
      EXPECT_FALSE(ok) << "level " << level << " limit " << limit;
      EXPECT_EQ(reason, "File too large") << limit;
      EXPECT_EQ(Slurp(path), before) << limit;
      EXPECT_EQ(Entries(folder), std::vector<std::string>{"project.serial"}) << limit;
    }
  }
  signal(SIGXFSZ, SIG_DFL);
}

TEST(SaveSerialFile, TargetsOfEveryKind) {
  const std::string folder = Folder("save-targets");
  const std::string file = folder + "/a.serial", link = folder + "/link.serial";
  Spit(file, "old");
  chmod(file.c_str(), 0640);
  ASSERT_EQ(symlink("a.serial", link.c_str()), 0);
  std::string reason;
  // Through the link: the file it names is replaced, its bits kept.
  ASSERT_TRUE(Save(link, 1, Noise(10)));
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Slurp(file).substr(0, 2), "\x1f\x8b");
  // A body that fails to write its object fails the save.
  const std::string kept = Slurp(file);
  EXPECT_FALSE(Save(file, 1, [](Serial::ISerialStream&) { return false; }, &reason));
  EXPECT_EQ(Slurp(file), kept);
  const struct {
    std::string path;
    const char* reason;
  } failures[] = {
      {folder + "/missing/x.serial", "No such file or directory"},
      {folder, "Is a directory"},
      {"/dev/full", "No space left on device"},
  };
  for (const auto& c : failures) {
    EXPECT_FALSE(Save(c.path, 1, Noise(10), &reason)) << c.path;
    EXPECT_EQ(reason, c.reason) << c.path;
  }
  EXPECT_EQ(Entries(folder).size(), 2u);
  // A device is written in place, never renamed over.
  EXPECT_TRUE(Save("/dev/null", Serial::kPlainFile, Noise(10)));
}

TEST(LoadSerialFile, RefusesDamagedGzipEvenWhenTheReaderStopsEarly) {
  const std::string path = TempPath("load-damaged.serial.gz");
  // Larger than the reader's read-ahead, so the damage lies beyond it.
  ASSERT_TRUE(Save(path, 1, Noise(1 << 20)));
  const std::string good = Slurp(path);
  // Reads only the header's first field, then stops.
  const auto early = [](Serial::ISerialStream& s) {
    unsigned int size = 0;
    return s.ReadField(size) != nullptr;
  };
  const struct {
    size_t offset;  // from the end; 0 = cut the last 100 bytes instead
    const char* reason;
  } cases[] = {
      {8, "gzip data damaged: incorrect data check"},
      {4, "gzip data damaged: incorrect length check"},
      {0, "gzip data cut short"},
  };
  for (const auto& c : cases) {
    std::string bad = good;
    if (c.offset == 0) {
      bad.resize(bad.size() - 100);
    } else {
      bad[bad.size() - c.offset] ^= 0x01;
    }
    Spit(path, bad);
    CString error;
    EXPECT_FALSE(Serial::LoadSerialFile(CString::FromUtf8(path), early, error)) << c.reason;
    EXPECT_EQ(error.ToUtf8(), c.reason);
  }
  Spit(path, good);
  CString error;
  EXPECT_TRUE(Serial::LoadSerialFile(CString::FromUtf8(path), early, error));
  EXPECT_FALSE(Serial::LoadSerialFile(CString::FromUtf8(path + ".absent"), early, error));
  EXPECT_EQ(error.ToUtf8(), "cannot open: No such file or directory");
}

}  // namespace

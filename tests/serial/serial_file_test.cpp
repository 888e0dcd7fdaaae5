// Safe saves and checked loads of whole serial files: every way a write can
// fail leaves the file before it as it was, and damaged gzip data is refused.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "SerialTestUtil.h"
#include "serial/SerialFile.h"

namespace {

using testutil::Slurp;
using testutil::TempPath;

void Spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Saves an object of `size` bytes that gzip cannot shrink, so that limits on
// the file hit it wherever they fall; the reason of a failure, "" on success.
std::string Save(const std::string& path, int level, size_t size, unsigned seed = 1,
                 bool fail = false) {
  CString error;
  const auto body = [&](Serial::ISerialStream& s) {
    std::vector<unsigned char> bytes(size);
    for (auto& b : bytes)
      b = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
    s.WriteField(static_cast<unsigned int>(size), bytes.data());
    return !fail;
  };
  const bool ok = Serial::SaveSerialFile(CString::FromUtf8(path), level, body, error);
  return ok ? "" : "failed: " + error.ToUtf8();
}

// An emptied folder; Count() then shows a stray temporary file.
std::string Folder(const std::string& name) {
  const std::string folder = TempPath(name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  return folder;
}

long Count(const std::string& folder) {
  return std::distance(std::filesystem::directory_iterator(folder), {});
}

TEST(SaveSerialFile, FailureAfterAnyByteCountKeepsTheOldFileAndNoTemporary) {
  const std::string folder = Folder("save-limits"), path = folder + "/project.serial";
  signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  for (const int level : {Serial::kPlainFile, 1}) {
    ASSERT_EQ(Save(path, level, 150000, 7), "");
    const std::string before = Slurp(path);
    for (const rlim_t limit : {0, 1, 97, 109, 4096, 65535, 65536, 65537, 131072, 149999}) {
      rlimit small = saved;
      small.rlim_cur = limit;
      setrlimit(RLIMIT_FSIZE, &small);
      const std::string reason = Save(path, level, 200000, 9);
      setrlimit(RLIMIT_FSIZE, &saved);
      EXPECT_EQ(reason, "failed: File too large") << "level " << level << " limit " << limit;
      EXPECT_EQ(Slurp(path), before) << limit;
      EXPECT_EQ(Count(folder), 1) << limit;
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
  // Through the link: the file it names is replaced, its bits kept.
  ASSERT_EQ(Save(link, 1, 10), "");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  const std::string kept = Slurp(file);
  EXPECT_EQ(kept.substr(0, 2), "\x1f\x8b");
  // A body that fails to write its object fails the save.
  EXPECT_NE(Save(file, 1, 10, 1, true), "");
  EXPECT_EQ(Slurp(file), kept);
  EXPECT_EQ(Save(folder + "/missing/x.serial", 1, 10), "failed: No such file or directory");
  EXPECT_EQ(Save(folder, 1, 10), "failed: Is a directory");
  EXPECT_EQ(Save("/dev/full", 1, 10), "failed: No space left on device");
  EXPECT_EQ(Count(folder), 2);
  // A device is written in place, never renamed over.
  EXPECT_EQ(Save("/dev/null", Serial::kPlainFile, 10), "");
}

TEST(LoadSerialFile, RefusesDamagedGzipEvenWhenTheReaderStopsEarly) {
  const std::string path = TempPath("load-damaged.serial.gz");
  // Larger than the reader's read-ahead, so the damage lies beyond it.
  ASSERT_EQ(Save(path, 1, 1 << 20), "");
  const std::string good = Slurp(path);
  const auto load = [&](const std::string& bytes) {  // no bytes: no file
    bytes.empty() ? void(std::filesystem::remove(path)) : Spit(path, bytes);
    CString error;
    const bool ok = Serial::LoadSerialFile(  // reads only the header's first field
        CString::FromUtf8(path),
        [](Serial::ISerialStream& s) {
          unsigned int size = 0;
          return s.ReadField(size) != nullptr;
        },
        error);
    return ok ? std::string() : error.ToUtf8();
  };
  std::string flipData = good, flipLength = good;
  flipData[good.size() - 8] ^= 0x01;
  flipLength[good.size() - 4] ^= 0x01;
  EXPECT_EQ(load(flipData), "gzip data damaged: incorrect data check");
  EXPECT_EQ(load(flipLength), "gzip data damaged: incorrect length check");
  EXPECT_EQ(load(good.substr(0, good.size() - 100)), "gzip data cut short");
  EXPECT_EQ(load(good), "");
  EXPECT_EQ(load(""), "cannot open: No such file or directory");
}

}  // namespace

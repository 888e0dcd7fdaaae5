// Damaged project databases. Each damage below makes SQLite 2.8 crash, read
// past a buffer or loop inside the process that opens the file; the outside
// check turns each away within its limit. CStorage itself opens whatever
// SQLite opens.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "StorageTestUtil.h"
#include "items/ResItem.h"
#include "storage/DatabaseCheck.h"
#include "storage/Storage.h"

namespace {

using storage_test::TempPath;
using storage_test::Wide;

// The rows of testdata/small_project.sql after a few stored values.
void WriteSmallProject(const std::string& path) {
  {
    CStorage storage(Wide(path));
    storage.CreateDb();
    storage.SetInt(u"ProjectVersion", CStorage::CurrentVersion);
    storage.SetInt(u"NativeLng", 1033);
    storage.SetInt(u"TargetLng", 1031);
    storage.SetStr(u"RunLocalizedCmd", u"run.exe");
  }
  storage_test::SqlFile(path, "small_project.sql");
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// One byte of the file written by WriteSmallProject, and what it held there.
struct Damage {
  const char* what;
  size_t offset;
  unsigned char was;
  unsigned char value;
  DatabaseCheck verdict;
};

// Found by mutating this file: the first two read past the end of a sorted row, the
// next three free memory twice when the query fails (vdbeaux.c Cleanup), the
// next sends the schema reader past the end of a table's definition, the
// last makes SQLite descend into the same page forever.
constexpr auto kDamaged = DatabaseCheck::kDamaged;
constexpr Damage kDamages[] = {
    {"translation text without its terminator", 4162, 0x00, 'A', kDamaged},
    {"property text without its terminator", 2226, 0x00, 'A', kDamaged},
    {"field offset of a binary row beyond the row", 5181, 0x06, 0xd3, kDamaged},
    {"field offset of a translation row beyond the row", 4361, 0x0a, 0xae, kDamaged},
    {"field offset of a property row moved", 2190, 0x2b, 0x38, kDamaged},
    {"schema text without its terminator", 9592, 0x00, 'x', kDamaged},
    {"first cell of a leaf points down to its own page", 3080, 0x00, 4, DatabaseCheck::kTimedOut},
};

class DamagedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSmallProject(path_);
    sound_ = testutil::Slurp(path_);
    // The damages name bytes of this exact file.
    ASSERT_EQ(sound_.size(), 11264u);
    for (const Damage& damage : kDamages) {
      ASSERT_EQ(static_cast<unsigned char>(sound_[damage.offset]), damage.was) << damage.what;
    }
  }
  const std::string path_ = TempPath("damaged.db");
  std::string sound_;
};

DatabaseCheck Check(const std::string& path) {
  DatabaseCheckOptions options;
  options.checker = ITEMLIB_TEST_DBCHECK;
  return CheckProjectDatabase(Wide(path), options);
}

// SQLite's own structure check counts a page no tree uses as an error; the
// items are intact, so that file passes and opens like the sound one.
TEST_F(DamagedFiles, SoundFileAndUnusedPagePassTheCheckAndLoad) {
  PanelLog messages;
  for (const std::string& bytes : {sound_, sound_ + std::string(1024, '\0')}) {
    WriteFile(path_, bytes);
    EXPECT_EQ(Check(path_), DatabaseCheck::kSound);
    CStorage storage(Wide(path_));
    const std::unique_ptr<CResItem> root(storage.Load());
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->GetResItems().size(), 2u);
    EXPECT_EQ(root->GetDataSize(), 4u);  // two chunks of an offset byte and two data bytes
    EXPECT_EQ(root->GetTransMap().size(), 2u);
  }
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(DamagedFiles, CheckTurnsEveryDamageAwayWithinItsLimit) {
  const auto limit = DatabaseCheckLimit(sound_.size());
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.what);
    std::string bytes = sound_;
    bytes.at(damage.offset) = static_cast<char>(damage.value);
    WriteFile(path_, bytes);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Check(path_), damage.verdict);
    EXPECT_LT(std::chrono::steady_clock::now() - start, limit + std::chrono::seconds(2));
  }
}

}  // namespace

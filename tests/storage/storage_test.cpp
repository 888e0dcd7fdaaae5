// CStorage against real SQLite 2.8 files: the schema texts, the value store,
// binary chains split at 950000 bytes, stored paths and the recognition of
// old projects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

#include "StorageTestUtil.h"
#include "config/OldPrjConfig.h"
#include "storage/Storage.h"

// Reaches the chain writer, which the storage keeps private.
class StorageTestPeer {
 public:
  static int SaveBinary(CStorage& s, const unsigned char* data, int size) {
    return s.SaveBinary(data, size);
  }
};

namespace {

using storage_test::MessageCatcher;
using storage_test::Rows;
using storage_test::Sql;
using storage_test::TempPath;
using storage_test::Wide;

TEST(StorageSchema, NewFileGetsPropThenCreateDbAddsTheRestVerbatim) {
  const std::string path = TempPath("schema.db");
  MessageCatcher messages;
  {
    CStorage storage(Wide(path));
    ASSERT_TRUE(storage.IsGood());
    EXPECT_EQ(Rows(path, "select name from sqlite_master"), std::vector<std::string>{"PROP"});
    storage.CreateDb();
  }
  EXPECT_EQ(
      Rows(path, "select type, name, sql from sqlite_master order by rowid"),
      (std::vector<std::string>{
          "table|PROP|create table PROP ( parent_key INT, name CHAR, type INT, binary_key INT, "
          "string CHAR, value INT, prop_type INT, type_type INT, type_str CHAR, type_int INT )",
          "table|RES_ITEM|create table RES_ITEM    ( parent_key INT, binary_key INT, type INT, "
          "comment CHAR, res_id CHAR, tab_num INT, state INT )",
          "table|TRANS_ITEM|create table TRANS_ITEM  ( parent_key INT, binary_key INT, type INT, "
          "comment CHAR, lang INT, status INT, string CHAR )",
          "table|BINARY|create table BINARY      ( parent_key INT, num INT, data BLOB )",
          "table|VAL_STORAGE|create table VAL_STORAGE ( val_key CHAR, file CHAR, val VARIANT )",
          "index|val_storage_key|create index val_storage_key     on val_storage ( val_key    )",
          "index|val_storage_file|create index val_storage_file    on val_storage ( file       )",
      }));
  // Reopening a project (PROP present) is silent.
  CStorage again(Wide(path));
  EXPECT_TRUE(again.IsGood());
  EXPECT_TRUE(messages.texts.empty());
}

TEST(StorageSchema, ClearItemsKeepsValues) {
  const std::string path = TempPath("clear.db");
  CStorage storage(Wide(path));
  storage.CreateDb();
  storage.SetInt(u"ProjectVersion", CStorage::CurrentVersion);
  Sql(path, {"insert into res_item values (9999999, 9999999, 1, '', '', 0, 0)",
             "insert into trans_item values (1, 9999999, 0, '', 7, 0, 'x')",
             "insert into binary values (9999999, 0, 'x')",
             "insert into prop (parent_key, type, prop_type) values (1, 2, 1)"});
  storage.ClearItems();
  for (const char* table : {"res_item", "trans_item", "binary", "prop"}) {
    EXPECT_TRUE(Rows(path, std::string("select * from ") + table).empty()) << table;
  }
  EXPECT_EQ(Rows(path, "select val_key, file, val from val_storage"),
            std::vector<std::string>{"ProjectVersion||4200"});
}

TEST(StorageFormat, RecognisesOnlyTheSqlite2Header) {
  const std::string db = TempPath("format.db");
  { CStorage storage(Wide(db)); }
  EXPECT_TRUE(IsSQLiteFormat(Wide(db)));

  const std::string shortFile = TempPath("format_short.db");
  std::ofstream(shortFile, std::ios::binary) << "** This file contains an SQLite 2.1 database *";
  EXPECT_FALSE(IsSQLiteFormat(Wide(shortFile)));  // 46 of the 47 bytes

  const std::string foreign = TempPath("format_foreign.db");
  std::ofstream(foreign, std::ios::binary) << "SQLite format 3" << std::string(100, '\0');
  EXPECT_FALSE(IsSQLiteFormat(Wide(foreign)));
  EXPECT_FALSE(IsSQLiteFormat(Wide(TempPath("format_missing.db"))));
}

// Stored paths are Windows paths: every opener reaches the file a backslash
// path names, and none creates a file under the literal name.
TEST(StoragePaths, BackslashPathReachesTheFile) {
  const std::string path = TempPath("stored_path.db");
  {
    CStorage storage(Wide(path));
    storage.CreateDb();
    storage.SetInt(u"TargetLng", 1031);
  }
  std::string stored = path;
  std::replace(stored.begin(), stored.end(), '/', '\\');
  EXPECT_TRUE(IsSQLiteFormat(Wide(stored)));
  int target = 0;
  {
    CStorage storage(Wide(stored));
    storage.GetInt(target, u"TargetLng");
  }
  EXPECT_EQ(target, 1031);
  COldPrjConfig config;
  config.Load(Wide(stored));
  EXPECT_EQ(config.TargetLng, 1031);
  EXPECT_NE(std::remove(stored.c_str()), 0) << "a stray file " << stored;
}

class ValueStore : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                     ".db");
    storage_ = std::make_unique<CStorage>(Wide(path_));
    storage_->CreateDb();
  }
  std::string path_;
  std::unique_ptr<CStorage> storage_;
};

TEST_F(ValueStore, SetIntTwiceKeepsOneRow) {
  storage_->SetInt(u"A", 4, u"");
  storage_->SetInt(u"A", 5, u"");
  storage_->SetInt(u"A", 6, u"f.rc");
  EXPECT_EQ(Rows(path_, "select val_key, file, val from val_storage order by rowid"),
            (std::vector<std::string>{"A||5", "A|f.rc|6"}));
  int value = 0;
  storage_->GetInt(value, u"A", u"");
  EXPECT_EQ(value, 5);
  storage_->GetInt(value, u"A", u"f.rc");
  EXPECT_EQ(value, 6);
  value = 42;
  storage_->GetInt(value, u"B", u"");
  EXPECT_EQ(value, 42);
}

TEST_F(ValueStore, StringsWithQuotesAndNonAsciiKeys) {
  CString value(u"unchanged");
  storage_->GetStr(value, u"absent");
  EXPECT_EQ(value, CString(u"unchanged"));
  storage_->SetStr(u"it's", u"O'Brien \u00E9");
  storage_->SetStr(u"\u00FCber", u"x", u"d\u00E9.rc");
  storage_->SetStr(u"it's", u"second");
  EXPECT_EQ(Rows(path_, "select val from val_storage where val_key = 'it''s'"),
            std::vector<std::string>{"second"});
  storage_->GetStr(value, u"it's");
  EXPECT_EQ(value, CString(u"second"));
  storage_->GetStr(value, u"\u00FCber", u"d\u00E9.rc");
  EXPECT_EQ(value, CString(u"x"));
}

TEST_F(ValueStore, DataRoundTripsAwkwardBytes) {
  const unsigned char data[] = {0x00, 0x01, 0x27, 0x27, 0x00, 0xFF, 0x02};
  storage_->SetData(u"blob", data, sizeof(data));
  unsigned int size = 0;
  std::unique_ptr<unsigned char[]> back(storage_->GetData(u"blob", size));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::vector<unsigned char>(back.get(), back.get() + size),
            std::vector<unsigned char>(data, data + sizeof(data)));
  back.reset(storage_->GetData(u"none", size));
  EXPECT_EQ(back, nullptr);
}

TEST(ValueStoreErrors, MissingTableGivesTheFunctionsMessage) {
  const std::string path = TempPath("novals.db");
  CStorage storage(Wide(path));  // PROP only
  MessageCatcher messages;
  int value = 3;
  storage.GetInt(value, u"A");
  CString text(u"t");
  storage.GetStr(text, u"A");
  unsigned int size = 0;
  EXPECT_EQ(storage.GetData(u"A", size), nullptr);
  EXPECT_EQ(value, 3);
  EXPECT_EQ(text, CString(u"t"));
  EXPECT_EQ(messages.texts, (std::vector<std::u16string>{u"IO error: GetIntVal",
                                                         u"IO error: GetStrVal",
                                                         u"IO error: GetBinary"}));
}

TEST(BinaryChains, SplitAt950000Bytes) {
  const std::string path = TempPath("chains.db");
  CStorage storage(Wide(path));
  storage.CreateDb();
  std::vector<unsigned char> block(950001);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 7);

  EXPECT_EQ(StorageTestPeer::SaveBinary(storage, block.data(), 0), CStorage::NoKey);
  EXPECT_TRUE(Rows(path, "select * from binary").empty());

  EXPECT_EQ(StorageTestPeer::SaveBinary(storage, block.data(), 950000), 1);
  EXPECT_EQ(StorageTestPeer::SaveBinary(storage, block.data(), 950001), 2);
  EXPECT_EQ(Rows(path, "select rowid, parent_key, num from binary order by rowid"),
            (std::vector<std::string>{"1|9999999|0", "2|9999999|0", "3|2|1"}));

  // The last chunk holds exactly the one byte past the boundary.
  const std::vector<std::string> tail = Rows(path, "select data from binary where rowid = 3");
  ASSERT_EQ(tail.size(), 1u);
  unsigned int size = 0;
  const std::unique_ptr<unsigned char[]> bytes(LoadBinary(tail[0].c_str(), size));
  ASSERT_EQ(size, 1u);
  EXPECT_EQ(bytes[0], block[950000]);
}

}  // namespace

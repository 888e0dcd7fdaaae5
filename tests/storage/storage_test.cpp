// CStorage against real SQLite 2.8 files: the schema texts, the value store,
// binary chains split at 950000 bytes and stored Windows paths.
#include "storage/Storage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "StorageTestUtil.h"

// Reaches the chain writer, which the storage keeps private.
class StorageTestPeer {
 public:
  static int SaveBinary(CStorage& s, const unsigned char* data, int size) {
    return s.SaveBinary(data, size);
  }
};

namespace {

using storage_test::Sql;
using storage_test::TempPath;
using storage_test::Wide;

TEST(StorageSchema, NewFileGetsPropThenCreateDbAddsTheRestVerbatim) {
  const std::string path = TempPath("schema.db");
  PanelLog messages;
  {
    CStorage storage(Wide(path));
    ASSERT_TRUE(storage.IsGood());
    EXPECT_EQ(Sql(path, {"select name from sqlite_master"}), std::vector<std::string>{"PROP"});
    storage.CreateDb();
  }
  std::string schema;
  for (const std::string& row :
       Sql(path, {"select type, name, sql from sqlite_master order by rowid"}))
    schema += row + "\n";
  EXPECT_EQ(schema, testdata::Read("storage", "schema.txt"));
  // Reopening a project (PROP present) is silent.
  CStorage again(Wide(path));
  EXPECT_TRUE(again.IsGood());
  EXPECT_TRUE(messages.messages.empty());
}

// Stored paths are Windows paths: both openers reach the file a backslash
// path names (the old project settings load through CStorage), and none
// creates a file under the literal name.
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
  EXPECT_NE(std::remove(stored.c_str()), 0) << "a stray file " << stored;
}

TEST(ValueStore, OneRowPerKeyAndFileWithQuotesAndAwkwardBytes) {
  const std::string path = TempPath("values.db");
  CStorage storage(Wide(path));
  storage.CreateDb();
  storage.SetInt(u"A", 4, u"");
  storage.SetInt(u"A", 5, u"");
  storage.SetInt(u"A", 6, u"f.rc");
  storage.SetStr(u"it's", u"O'Brien \u00E9");
  storage.SetStr(u"\u00FCber", u"x", u"d\u00E9.rc");
  const unsigned char data[] = {0x00, 0x01, 0x27, 0x27, 0x00, 0xFF, 0x02};
  storage.SetData(u"blob", data, sizeof(data));
  EXPECT_EQ(Sql(path, {"select val_key, file from val_storage order by rowid"}),
            (std::vector<std::string>{"A|", "A|f.rc", "it's|", "\u00FCber|d\u00E9.rc", "blob|"}));
  int value = 42;
  storage.GetInt(value, u"B", u"");  // absent: unchanged
  EXPECT_EQ(value, 42);
  storage.GetInt(value, u"A", u"");
  EXPECT_EQ(value, 5);
  CString text;
  storage.GetStr(text, u"it's");
  EXPECT_EQ(text, CString(u"O'Brien \u00E9"));
  unsigned int size = 0;
  std::unique_ptr<unsigned char[]> back(storage.GetData(u"blob", size));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::vector<unsigned char>(back.get(), back.get() + size),
            std::vector<unsigned char>(data, data + sizeof(data)));
}

TEST(ValueStoreErrors, MissingTableGivesTheFunctionsMessage) {
  CStorage storage(Wide(TempPath("novals.db")));  // PROP only
  PanelLog messages;
  int value = 3;
  storage.GetInt(value, u"A");
  CString text;
  storage.GetStr(text, u"A");
  unsigned int size = 0;
  EXPECT_EQ(storage.GetData(u"A", size), nullptr);
  EXPECT_EQ(value, 3);
  std::vector<CString> texts;
  for (const CMessagePanelMsg& message : messages.messages) {
    EXPECT_EQ(message.type, CMessagePanelMsg::ErrorReport);
    texts.push_back(message.text);
  }
  EXPECT_EQ(texts, (std::vector<CString>{u"IO error: GetIntVal", u"IO error: GetStrVal",
                                         u"IO error: GetBinary"}));
}

TEST(BinaryChains, SplitAt950000Bytes) {
  const std::string path = TempPath("chains.db");
  CStorage storage(Wide(path));
  storage.CreateDb();
  std::vector<unsigned char> block(950001);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 7);

  EXPECT_EQ(StorageTestPeer::SaveBinary(storage, block.data(), 0), CStorage::NoKey);
  EXPECT_TRUE(Sql(path, {"select * from binary"}).empty());

  EXPECT_EQ(StorageTestPeer::SaveBinary(storage, block.data(), 950000), 1);
  EXPECT_EQ(StorageTestPeer::SaveBinary(storage, block.data(), 950001), 2);
  EXPECT_EQ(Sql(path, {"select rowid, parent_key, num from binary order by rowid"}),
            (std::vector<std::string>{"1|9999999|0", "2|9999999|0", "3|2|1"}));

  // The last chunk holds exactly the one byte past the boundary.
  const std::vector<std::string> tail = Sql(path, {"select data from binary where rowid = 3"});
  ASSERT_EQ(tail.size(), 1u);
  unsigned int size = 0;
  const std::unique_ptr<unsigned char[]> bytes(LoadBinary(tail[0].c_str(), size));
  ASSERT_EQ(size, 1u);
  EXPECT_EQ(bytes[0], block[950000]);
}

}  // namespace

// Loading the item tree from rows written by plain SQL: the five cursors are
// stitched by parent key, and rows that arrive out of walk order, orphans,
// unknown property kinds and unusable files follow the loader's rules.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "StorageTestUtil.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "platform/TestData.h"
#include "storage/Storage.h"

namespace {

using storage_test::MessageCatcher;
using storage_test::Sql;
using storage_test::TempPath;
using storage_test::Wide;

// The encoded column text of `bytes` (never holds a quote or a zero).
std::string Enc(const std::string& bytes) {
  const std::unique_ptr<unsigned char[]> text(EncodeBinary(
      reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size())));
  return reinterpret_cast<const char*>(text.get());
}

std::string Item(const std::string& parent, const std::string& binary, const std::string& rest) {
  return "insert into res_item values (" + parent + ", " + binary + ", " + rest + ")";
}
std::string Trans(int parent, const std::string& binary, int lang, int status,
                  const std::string& text) {
  return "insert into trans_item values (" + std::to_string(parent) + ", " + binary + ", 0, '', " +
         std::to_string(lang) + ", " + std::to_string(status) + ", '" + text + "')";
}
std::string Chunk(const std::string& parent, int num, const std::string& bytes) {
  return "insert into binary values (" + parent + ", " + std::to_string(num) + ", '" +
         Enc(bytes) + "')";
}
std::string Prop(int propType, int parent, const std::string& name, int type,
                 const std::string& binary, const std::string& str, const std::string& value) {
  return "insert into prop (parent_key, name, type, binary_key, string, value, prop_type) "
         "values (" + std::to_string(parent) + ", '" + name + "', " + std::to_string(type) + ", " +
         binary + ", '" + str + "', '" + value + "', " + std::to_string(propType) + ")";
}

// Bytes below 0x20 as \<decimal>, so that the dumps stay text.
std::string Data(const std::vector<unsigned char>& bytes) {
  std::string text;
  for (const unsigned char c : bytes) text += c < 0x20 ? "\\" + std::to_string(c) : std::string(1, c);
  return text;
}
template <class Map>
std::string Props(const Map& props) {
  std::string text;
  for (const auto& entry : props) {
    const CProp& value = *entry.second;
    text += " " + entry.first.ToString().ToUtf8() + "=" +
            (value.GetData().empty() ? value.AsString().ToUtf8() : Data(value.GetData()));
  }
  return text;
}
// One line per item and translation, indented by depth; the expected dumps
// are under testdata/.
std::string Dump(const CResItem& item, const std::string& indent = "") {
  std::string text = indent + std::to_string(item.GetType()) + " " + item.GetResId().ToUtf8() +
                     " '" + item.GetComment().ToUtf8() + "' " + std::to_string(item.GetTabNum()) +
                     " " + std::to_string(item.GetState()) + " data=" +
                     Data({item.GetData(), item.GetData() + item.GetDataSize()}) +
                     Props(item.GetProps()) + "\n";
  for (const auto& entry : item.GetTransMap()) {
    const CTransItem& t = *entry.second;
    text += indent + "  [" + std::to_string(entry.first) + " key " + std::to_string(t.GetKey()) +
            " status " + std::to_string(t.GetStatus()) + "]" + Props(t.GetProps()) + "\n";
  }
  for (const CResItem* child : item.GetResItems()) text += Dump(*child, indent + "  ");
  return text;
}
std::string Expected(const std::string& name) { return testdata::Read("storage", name); }

class Loader : public ::testing::Test {
 protected:
  std::unique_ptr<CResItem> Load(const std::vector<std::string>& rows) {
    const std::string path = TempPath(
        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".db");
    { CStorage(Wide(path)).CreateDb(); }
    Sql(path, rows);
    CStorage storage(Wide(path));
    return std::unique_ptr<CResItem>(storage.Load());
  }
  MessageCatcher messages_;
};

TEST_F(Loader, InterleavedRowsStitchIntoTheTree) {
  const std::string none = "9999999";
  const auto root = Load({
      Item(none, "1", "5, 'note', '@ROOT', 2, 1"),    // 1 root, data in chunks 1-3
      Item("1", none, "'', '', '', '', ''"),            // 2 A
      Item("2", none, "3, '', '#4', 0, 0"),             // 3 B under A
      Item("1", "7", "6, '', '', 0, 0"),                // 4 C, data in chunk 7
      Chunk(none, 0, std::string("a\0", 2)), Chunk("1", 1, "'c"), Chunk("1", 2, "e"),
      Chunk(none, 0, "PQ"),                             // 4: root's binary property
      Chunk(none, 0, "T1"),                             // 5: data of A's 1031
      Chunk(none, 0, "TP"),                             // 6: binary property of that translation
      Chunk(none, 0, "CC"),                             // 7: C's data
      Trans(2, "5", 1031, 3, "Hallo \xC3\xA9"),         // key 1
      Trans(2, none, 1036, 0, ""),                      // key 2: no text
      Trans(4, none, 1031, 1, "Zwei"),                  // key 3
      // The two property cursors are filtered from one table.
      Prop(2, 1, "@tp", 3, "6", "", ""),
      Prop(1, 1, "@s", 1, none, "text", ""),
      Prop(1, 1, "@bin", 3, "4", "", ""),
      Prop(2, 3, "@n", 2, none, "", "12"),
      Prop(1, 2, "@empty", 2, none, "", ""),
      Prop(1, 4, "@c", 1, none, "cc", ""),
  });
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(messages_.texts.empty());
  EXPECT_EQ(Dump(*root), Expected("interleaved.txt"));
}

TEST_F(Loader, RowsBehindTheirOwnerAreNeverAttached) {
  const std::string none = "9999999";
  const auto root = Load({
      Item(none, none, "1, '', '', 0, 0"),  // 1 root
      Item("1", none, "2, '', '', 0, 0"),   // 2 A
      Item("1", "2", "3, '', '', 0, 0"),    // 3 C, data in chunk 2
      Item("99", none, "4, '', '', 0, 0"),  // 4 X: no open ancestor, ends the load
      Item("1", none, "5, '', '', 0, 0"),   // 5 D: after the end
      Trans(3, none, 1, 0, "for C"),
      Trans(2, none, 2, 0, "for A, too late"),  // waits behind C's row, then is stale
      Chunk(none, 0, "zz"),                     // 1: chain of the unknown property
      Chunk(none, 0, "cc"),                     // 2: C's data
      Prop(1, 1, "@odd", 7, "1", "", "5"),      // no known kind: stores nothing
      Prop(1, 1, "@ok", 1, none, "yes", ""),
  });
  ASSERT_NE(root, nullptr);
  // The unknown row's chunk was consumed, so C's chain still lines up.
  EXPECT_EQ(Dump(*root), Expected("rows_behind.txt"));
}

TEST_F(Loader, EmptyTableGivesNullSilently) {
  EXPECT_EQ(Load({}), nullptr);
  EXPECT_TRUE(messages_.texts.empty());
}

}  // namespace

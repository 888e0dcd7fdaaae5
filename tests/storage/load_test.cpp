// Loading the item tree from rows written by plain SQL: the five cursors are
// stitched by parent key, and rows that arrive out of walk order, orphans,
// unknown property kinds and unusable files follow the loader's rules.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "StorageTestUtil.h"
#include "items/ResItem.h"
#include "items/TransItem.h"

namespace {

using storage_test::TempPath;
using storage_test::Wide;

// Bytes below 0x20 as \<decimal>, so that the dumps stay text.
std::string Data(const std::vector<unsigned char>& bytes) {
  std::string text;
  for (const unsigned char c : bytes)
    text += c < 0x20 ? "\\" + std::to_string(c) : std::string(1, c);
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
                     " " + std::to_string(item.GetState()) +
                     " data=" + Data({item.GetData(), item.GetData() + item.GetDataSize()}) +
                     Props(item.GetProps()) + "\n";
  for (const auto& entry : item.GetTransMap()) {
    const CTransItem& t = *entry.second;
    text += indent + "  [" + std::to_string(entry.first) + " key " + std::to_string(t.GetKey()) +
            " status " + std::to_string(t.GetStatus()) + "]" + Props(t.GetProps()) + "\n";
  }
  for (const CResItem* child : item.GetResItems()) text += Dump(*child, indent + "  ");
  return text;
}

class Loader : public ::testing::Test {
 protected:
  // The tree loaded from the rows of testdata/`rows`.sql (none for "").
  std::unique_ptr<CResItem> Load(const std::string& rows) {
    const std::string path = TempPath(rows + ".db");
    { CStorage(Wide(path)).CreateDb(); }
    if (!rows.empty()) storage_test::SqlFile(path, rows + ".sql");
    CStorage storage(Wide(path));
    return std::unique_ptr<CResItem>(storage.Load());
  }
  PanelLog messages_;
};

// Rows: testdata/<case>.sql; the tree: testdata/<case>.txt.
TEST_F(Loader, InterleavedRowsStitchIntoTheTree) {
  const auto root = Load("interleaved");
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(messages_.messages.empty());
  EXPECT_EQ(Dump(*root), testdata::Read("storage", "interleaved.txt"));
}

// The unknown row's chunk was consumed, so C's chain still lines up.
TEST_F(Loader, RowsBehindTheirOwnerAreNeverAttached) {
  const auto root = Load("rows_behind");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(Dump(*root), testdata::Read("storage", "rows_behind.txt"));
}

TEST_F(Loader, EmptyTableGivesNullSilently) {
  EXPECT_EQ(Load(""), nullptr);
  EXPECT_TRUE(messages_.messages.empty());
}

}  // namespace

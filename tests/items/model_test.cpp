// Resource items, translations and language values without events: data
// blocks, comparison, copying and the language value layout.
#include <gtest/gtest.h>

#include "ItemTestUtil.h"
#include "platform/TestData.h"

using namespace itemtest;  // NOLINT: test helpers only

namespace {

TEST(ResItem, DataBlocks) {
  CResItem item;
  unsigned char source[] = {1, 2, 3};
  item.SetData(source, 3);
  source[0] = 9;  // the item keeps its own copy
  item.AddBinaryBlock(source + 1, 2);
  EXPECT_EQ(Bytes(item.GetData(), item.GetData() + item.GetDataSize()), (Bytes{1, 2, 3, 2, 3}));
  item.SetData(source, 0);
  EXPECT_EQ(item.GetData(), nullptr);
}

TEST(ResItem, EqualityAndCopiesCoverFieldsNotTree) {
  std::unique_ptr<CResItem> project = SampleProject();
  const CResItem& file = *project->GetResItems()[0];
  CResItem copy(file);
  EXPECT_TRUE(copy == file);  // no children nor translations, still equal
  EXPECT_TRUE(copy.GetResItems().empty() && copy.GetTransMap().empty());
  EXPECT_NE(copy.GetData(), file.GetData());
  const unsigned int size = file.GetDataSize();
  Bytes lastFlipped(file.GetData(), file.GetData() + size);
  lastFlipped.back() ^= 1;
  const std::pair<const char*, std::function<void(CResItem&)>> changes[] = {
      {"type", [](CResItem& i) { i.SetType(99); }},
      {"comment case", [](CResItem& i) { i.SetComment(u"SAMPLE"); }},
      {"data bytes", [&](CResItem& i) { i.SetData(lastFlipped.data(), size); }},
      {"configuration",
       [](CResItem& i) { i.GetCfgProps().SetPropW(u"Codepage", new CIntProp(1)); }},
      {"own property", [](CResItem& i) { delete i.RemovePropW(u"Set"); }},
  };
  for (const auto& [name, change] : changes) {
    CResItem other(file);
    change(other);
    EXPECT_FALSE(other == file) << name;
  }
  // A translation's copy has no key nor parent; the key does not count.
  CTransItem trans(*file.GetTranslation(0x407));
  EXPECT_EQ(trans.GetKey(), 9999999);
  EXPECT_EQ(trans.GetParent(), nullptr);
  EXPECT_TRUE(trans == *file.GetTranslation(0x407));
  trans.SetStatus(1);
  EXPECT_FALSE(trans == *file.GetTranslation(0x407));
}

TEST(LangId, ConversionsAndBrands) {
  const auto number = [](const std::string& text) { return std::stoi(text, nullptr, 0); };
  for (const auto& row : testdata::Rows("items", "lang_ids.tsv")) {
    ASSERT_EQ(row.size(), 6u);
    SCOPED_TRACE(row[0] + " " + row[1]);
    const CLangId id = row[1].empty() ? CLangId(number(row[0]))
                                      : CLangId(static_cast<short>(number(row[0])),
                                                static_cast<unsigned char>(number(row[1])));
    EXPECT_EQ(id.GetLang(), number(row[2]));
    EXPECT_EQ(id.GetRawLng(), number(row[3]));
    EXPECT_EQ(id.GetPrimaryLng(), number(row[4]));
    EXPECT_EQ(id.GetBrand(), number(row[5]));
  }
}

}  // namespace

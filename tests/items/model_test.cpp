// Resource items and translations without events: what comparison covers
// and what a copy takes.
#include <gtest/gtest.h>

#include "ItemTestUtil.h"

using namespace itemtest;  // NOLINT: test helpers only

namespace {

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

}  // namespace

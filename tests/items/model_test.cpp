// Resource items, translations and language values without events: field
// defaults, state bits, data blocks, comparison, copying, the language value
// layout, and ownership moving in and out of the tree.
#include <gtest/gtest.h>

#include "ItemTestUtil.h"

using namespace itemtest;  // NOLINT: test helpers only

namespace {

TEST(ResItem, DefaultsStateBitsAndData) {
  CResItem item;
  EXPECT_EQ(item.GetResId(), u"@");
  EXPECT_EQ(item.GetType() | item.GetState() | item.GetTabNum(), 0);
  EXPECT_EQ(item.GetData(), nullptr);
  EXPECT_EQ(item.GetParent(), nullptr);

  struct Case {
    int state;
    bool readOnly, locked;
    int expected;
  };
  // Each setter touches its own bit only; the callers' bits stay.
  for (const Case& c : {Case{4, true, false, 5}, Case{3, true, false, 1}, Case{7, false, true, 6},
                        Case{0x100, false, true, 0x102}, Case{-1, false, false, -4}}) {
    item.SetState(c.state);
    item.SetReadOnly(c.readOnly);
    item.SetItemLocked(c.locked);
    EXPECT_EQ(item.GetState(), c.expected) << c.state;
    EXPECT_EQ(item.IsReadOnly(), c.readOnly);
    EXPECT_EQ(item.IsItemLocked(), c.locked);
  }

  unsigned char source[] = {1, 2, 3};
  item.SetData(source, 3);
  source[0] = 9;  // the item keeps its own copy
  item.AddBinaryBlock(source + 1, 2);
  ASSERT_EQ(item.GetDataSize(), 5u);
  EXPECT_EQ(Bytes(item.GetData(), item.GetData() + 5), (Bytes{1, 2, 3, 2, 3}));
  item.SetData(source, 0);
  EXPECT_EQ(item.GetData(), nullptr);
  EXPECT_EQ(item.GetDataSize(), 0u);
  item.AddBinaryBlock(source, 1);
  EXPECT_EQ(Bytes(item.GetData(), item.GetData() + item.GetDataSize()), Bytes{9});
}

TEST(TransItem, DefaultsTextDataAndCopies) {
  CTransItem trans(0x407);
  EXPECT_EQ(trans.GetKey(), 9999999);
  EXPECT_EQ(trans.GetStatus(), 0);
  EXPECT_EQ(trans.GetData(), nullptr);
  EXPECT_EQ(trans.GetStr(), u"");

  const unsigned char chunk[] = {7, 8};
  trans.AddBinaryBlock(chunk, 2);
  trans.AddBinaryBlock(chunk, 1);
  EXPECT_EQ(Bytes(trans.GetData(), trans.GetData() + trans.GetDataSize()), (Bytes{7, 8, 7}));
  trans.SetStr(u"Text");
  // Text and data live in the property container under fixed names.
  EXPECT_EQ(trans.GetPropW(CPropName::TransText)->GetStr(), u"Text");
  EXPECT_EQ(trans.GetPropW(CPropName::TransData)->GetData().size(), 3u);
  trans.SetStatus(4);
  trans.SetKey(12);

  CResItem owner;
  trans.SetParent(&owner);
  CTransItem copy(trans);
  EXPECT_EQ(copy.GetKey(), 9999999);
  EXPECT_EQ(copy.GetParent(), nullptr);
  EXPECT_EQ(copy.GetStr(), u"Text");
  EXPECT_TRUE(copy == trans);  // the key does not count
  copy.SetData(chunk, 1);      // a deep copy: the original keeps its bytes
  EXPECT_EQ(trans.GetDataSize(), 3u);
  EXPECT_FALSE(copy == trans);

  for (const auto& change : std::vector<std::function<void(CTransItem&)>>{
           [](CTransItem& t) { t.SetLang(0x409); }, [](CTransItem& t) { t.SetStatus(1); },
           [](CTransItem& t) { t.SetPropW(u"x"); }}) {
    CTransItem other(trans);
    change(other);
    EXPECT_FALSE(other == trans);
  }
}

TEST(ResItem, EqualityAndAssignmentCoverFieldsNotTree) {
  std::unique_ptr<CResItem> project = SampleProject();
  const CResItem& file = *project->GetResItems()[0];
  CResItem copy(file);
  EXPECT_TRUE(copy == file);  // no children nor translations, still equal
  EXPECT_TRUE(copy.GetResItems().empty() && copy.GetTransMap().empty());
  EXPECT_EQ(copy.GetParent(), nullptr);
  ASSERT_EQ(copy.GetDataSize(), file.GetDataSize());
  EXPECT_NE(copy.GetData(), file.GetData());

  const unsigned char byte = 1;
  const unsigned int size = file.GetDataSize();
  Bytes lastFlipped(file.GetData(), file.GetData() + size);
  lastFlipped.back() ^= 1;
  struct Case {
    const char* name;
    std::function<void(CResItem&)> change;
  };
  for (const Case& c : {
           Case{"type", [](CResItem& i) { i.SetType(99); }},
           Case{"tab", [](CResItem& i) { i.SetTabNum(1); }},
           Case{"state", [](CResItem& i) { i.SetState(0); }},
           Case{"comment case", [](CResItem& i) { i.SetComment(u"SAMPLE"); }},
           Case{"resource id", [](CResItem& i) { i.SetResId(u"@APP.EXE"); }},
           Case{"data bytes", [&](CResItem& i) { i.SetData(lastFlipped.data(), size); }},
           Case{"data size", [&](CResItem& i) { i.AddBinaryBlock(&byte, 1); }},
           Case{"configuration",
                [](CResItem& i) { i.GetCfgProps().SetPropW(u"Codepage", new CIntProp(1)); }},
           Case{"own property", [](CResItem& i) { delete i.RemovePropW(u"Set"); }},
       }) {
    CResItem other(file);
    c.change(other);
    EXPECT_FALSE(other == file) << c.name;
  }

  // Assignment replaces fields and both containers, keeps the target's tree.
  CResItem* target = project->GetResItems()[0]->GetResItems()[0];
  CResItem* targetChild = target->GetResItems()[0];
  *target = file;
  EXPECT_TRUE(*target == file);
  EXPECT_EQ(target->GetParent(), project->GetResItems()[0]);
  ASSERT_EQ(target->GetResItems().size(), 1u);
  EXPECT_EQ(target->GetResItems()[0], targetChild);
  EXPECT_EQ(target->GetTransMap().size(), 1u);
  EXPECT_NE(target->GetCfgProps().GetPropW(u"Codepage"), file.GetCfgProps().GetPropW(u"Codepage"));
}

TEST(LangId, ConversionsAndBrands) {
  struct Case {
    CLangId id;
    int value;
    short raw, primary;
    unsigned char brand;
  };
  const Case cases[] = {
      {CLangId(7777), 7777, 7777, 7777 & 0x3FF, 0},
      {CLangId(77777777), 7777, 7777, 7777 & 0x3FF, 0},
      {CLangId(static_cast<short>(0xCB71), 3), 3 * 65536 + 7777, 7777, 7777 & 0x3FF, 3},
      {CLangId(static_cast<short>(0xCB71), 0), 7777, 7777, 7777 & 0x3FF, 0},
      {CLangId(0x0409, 2), 0x20409, 0x0409, 9, 2},
      {CLangId(0x0C07, CLangId::UnrealBrand), 0xFF0C07, 0x0C07, 7, 255},
      {CLangId(0x00010407), 0x10407, 0x0407, 7, 1},
      // A negative language fills the high half when widened.
      {CLangId(static_cast<short>(0x8409), 2), static_cast<int>(0xFFFF8409),
       static_cast<short>(0x8409), 9, 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(c.id.GetLang(), c.value);
    EXPECT_EQ(c.id.GetRawLng(), c.raw);
    EXPECT_EQ(c.id.GetPrimaryLng(), c.primary);
    EXPECT_EQ(c.id.GetBrand(), c.brand);
  }
}

TEST(ResItem, OwnershipMovesThroughAddAndRemove) {
  std::unique_ptr<CResItem> root(NewItem(u"root"));
  CResItem* a = NewItem(u"a");
  CResItem* b = NewItem(u"b");
  CResItem* c = NewItem(u"c");
  root->AddResItem(a);
  root->AddResItem(b);
  root->AddResItem(c);
  b->AddResItem(NewItem(u"b1"));  // goes with b
  b->AddTransItem(NewTrans(0x407, u"b"));

  std::unique_ptr<CResItem> removed(root->RemoveItem(b));
  ASSERT_EQ(removed.get(), b);
  EXPECT_EQ(b->GetParent(), nullptr);
  EXPECT_EQ(root->GetResItems(), (std::vector<CResItem*>{a, c}));
  EXPECT_EQ(root->RemoveItem(b), nullptr);
  a->AddResItem(removed.release());
  EXPECT_EQ(b->GetParent(), a);

  CTransItem* de = NewTrans(0x407, u"de");
  c->AddTransItem(de);
  EXPECT_EQ(de->GetParent(), c);
  std::unique_ptr<CTransItem> back(c->RemoveTransItem(0x407));
  EXPECT_EQ(back.get(), de);
  EXPECT_EQ(de->GetParent(), nullptr);
  EXPECT_FALSE(c->HasTranslation(0x407));
  c->AddTransItem(back.release());
  c->AddTransItem(nullptr);
  EXPECT_EQ(c->GetTranslation(0x407), de);

  // Re-keying keeps one entry, under the new language, owned by the item.
  c->ChangeTransLang(de, 0x10407);
  EXPECT_EQ(c->GetTransMap().size(), 1u);
  EXPECT_EQ(c->GetTranslation(0x10407), de);
  EXPECT_EQ(de->GetLang(), 0x10407);

  // Detached children survive ClearResItemList and belong to the caller.
  std::vector<std::unique_ptr<CResItem>> held;
  for (CResItem* child : root->GetResItems()) held.emplace_back(child);
  root->ClearResItemList();
  EXPECT_TRUE(root->GetResItems().empty());
  for (const auto& child : held) EXPECT_EQ(child->GetParent(), nullptr);
}

}  // namespace

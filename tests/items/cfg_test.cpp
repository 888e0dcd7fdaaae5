// Settings inherited down the tree, prefix queries, the temporary
// re-parenting of one item, and translation properties looked up with
// language fallbacks.
#include <gtest/gtest.h>

#include <tuple>

#include "ItemTestUtil.h"

using namespace itemtest;  // NOLINT: test helpers only

namespace {

int IntOf(const CProp* prop) { return prop ? prop->GetInt() : -1; }

std::string Describe(const std::vector<CCfgHolder::CPropItem>& items) {
  std::string text;
  for (const auto& item : items) {
    text += item.name.ToUtf8() + "@" + std::to_string(item.level) + "=" + Value(item.value) + " ";
  }
  return text;
}

TEST(CfgHolder, InheritancePrefixesAndDeletion) {
  Tree p;
  CCfgHolder::SetPropW(*p.root, u"MFC.MultiLang.", new CIntProp(0));  // equal to the prefix
  CCfgHolder::SetPropW(*p.root, u"MFC.MultiLang.SkipEqualResources", new CBoolProp(true));
  CCfgHolder::SetPropW(*p.root, u"MFC.MultiLang.OutFile", new CStrProp(u"root"));
  CCfgHolder::SetPropW(*p.root, u"mfc.MultiLang.Case", new CIntProp(1));
  CCfgHolder::SetPropW(*p.root, u"DFM.OutFile", new CIntProp(2));
  CCfgHolder::SetPropW(*p.file, u"MFC.MultiLang.OutFile", new CStrProp(u"file"));
  CCfgHolder::SetPropW(*p.res, u"MFC.MultiLang.X", new CIntProp(3));
  p.res->GetCfgProps().SetPropW(CPropName::TransText, new CIntProp(4));  // a numeric name
  p.res->SetPropW(u"A", new CIntProp(9));  // own properties are no settings

  // Item, name, the value found with and without inheriting.
  const char16_t* const out = u"MFC.MultiLang.OutFile";
  for (const auto& [item, name, inherited, own] :
       {std::tuple<CResItem*, const char16_t*, const char*, const char*>{p.res, out, "file", "-"},
        {p.file, out, "file", "file"},
        {p.root.get(), out, "root", "root"},
        {p.sibling, out, "root", "-"},
        {p.res, u"MFC.MultiLang.X", "#3", "#3"},
        {p.res, u"A", "-", "-"}}) {
    SCOPED_TRACE(Label(item) + " " + CString(name).ToUtf8());
    EXPECT_EQ(Value(CCfgHolder::GetPropW(*item, name, true)), inherited);
    EXPECT_EQ(Value(CCfgHolder::GetPropW(*item, name, false)), own);
  }

  std::vector<CCfgHolder::CPropItem> found(1, CCfgHolder::CPropItem{u"kept", 7, nullptr});
  CCfgHolder::GetPropsByPrefix(*p.root, found, u"MFC.MultiLang.", 4);
  EXPECT_EQ(Describe(found),
            "kept@7=- MFC.MultiLang.OutFile@4=root MFC.MultiLang.SkipEqualResources@4=true ");
  EXPECT_EQ(Describe(CCfgHolder::GetPropsByPrefixOrdered(*p.res, u"MFC.MultiLang.")),
            "MFC.MultiLang.X@1=#3 MFC.MultiLang.OutFile@-1=file MFC.MultiLang.OutFile@-2=root "
            "MFC.MultiLang.SkipEqualResources@-2=true ");
  EXPECT_EQ(CCfgHolder::GetPropsByPrefixOrdered(*p.res, u"").size(), 7u);

  CCfgHolder::DeleteProp(*p.file, out);
  EXPECT_EQ(Value(CCfgHolder::GetPropW(*p.res, out, true)), "root");
  EXPECT_EQ(p.file->GetCfgProps().GetProps().size(), 0u);
}

TEST(ParentSubstituter, ShowsTheItemAloneBelowCopiesOfItsAncestors) {
  Tree p;
  CResItem* last = NewItem(u"last");
  p.root->AddResItem(last);
  CCfgHolder::SetPropW(*p.root, u"Out", new CStrProp(u"root"));
  Recorder rec;
  {
    CParentSubstituter substitute(*p.res);
    EXPECT_EQ(substitute.GetItemLevel(), 2);
    CResItem* top = substitute.GetTopParent();
    EXPECT_NE(top, p.root.get());
    ASSERT_EQ(top->GetResItems().size(), 1u);  // siblings of the file are hidden
    EXPECT_TRUE(*top->GetResItems()[0] == *p.file);
    EXPECT_EQ(CCfgHolder::GetPropW(*p.res, u"Out", true)->GetStr(), u"root");
    EXPECT_TRUE(p.file->GetResItems().empty());
    CCfgHolder::SetPropW(*top, u"Out", new CStrProp(u"copy"));  // dies with the copy
    p.res->SetComment(u"kept");
  }
  {
    CParentSubstituter substitute(*p.file);
    EXPECT_EQ(substitute.GetItemLevel(), 1);
    EXPECT_EQ(p.root->GetResItems(), (std::vector<CResItem*>{p.sibling, last}));
  }
  EXPECT_TRUE(rec.log.empty());  // nothing of it was announced
  EXPECT_FALSE(Recorder::Server().IsLocked());
  EXPECT_EQ(p.root->GetResItems(), (std::vector<CResItem*>{p.file, p.sibling, last}));
  EXPECT_EQ(p.res->GetComment(), u"kept");
  EXPECT_EQ(CCfgHolder::GetPropW(*p.res, u"Out", true)->GetStr(), u"root");
}

TEST(PropHelper, FallbackOrderAndTargetOnlyLookups) {
  const int lang = 0x00010407, fallback = 0x00000409;
  const int order[] = {0x00010407, 0x00010409, 0x00000407, 0x00000409};
  // Languages holding the property, from all four down to none.
  for (int first = 0; first <= 4; ++first) {
    SCOPED_TRACE(first);
    CResItem item;
    for (int i = 0; i < 4; ++i) {
      auto* trans = new CTransItem(order[i]);
      if (i >= first) trans->SetPropW(u"P", new CIntProp(order[i]));
      item.AddTransItem(trans);
    }
    const int expected = first < 4 ? order[first] : 0;
    EXPECT_EQ(CPropHelper::GetTransPropInt(&item, u"P", lang, fallback), expected);
    const CProp* target = CPropHelper::GetTransPropTgt(&item, u"P", lang, fallback);
    EXPECT_EQ(IntOf(target), first < 3 ? expected : -1);
    EXPECT_EQ(CPropHelper::HasTransProp(&item, u"P"), first < 4);
  }

  // Setting on a missing language makes the translation; removing hands the value back.
  CResItem item;
  CPropHelper::SetTransProp(&item, u"P", new CStrProp(u"s"), lang);
  EXPECT_EQ(CPropHelper::GetTransPropStr(&item, u"P", 0x40C, lang), u"s");
  std::unique_ptr<CProp> removed(CPropHelper::RemoveTransProp(&item, u"P", lang));
  ASSERT_NE(removed, nullptr);
  EXPECT_FALSE(CPropHelper::HasTransProp(&item, u"P"));
}

}  // namespace

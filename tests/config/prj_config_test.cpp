// The general project settings through their accessor families: storing
// only real changes, resetting, operators bound to one item, the change
// notification, and the listing of settings that differ. Inheritance itself
// is the items' (cfg_test); keys and defaults: setting_keys_test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/PrjConfig.h"

using cfgtest::Changed;
using cfgtest::Lines;
using cfgtest::Tree;
using itemtest::Recorder;

namespace {

constexpr int kNone = -1;

int Own(const CResItem& item) {
  const CProp* own = CCfgHolder::GetPropW(item, CPrjConfig::FuzzyUpdatePropName(), false);
  return own ? own->GetInt() : kNone;
}

// Which of these announce a change: PrjConfigNotification.
TEST(PrjConfigStoring, SetStoresOnlyWhereTheEffectiveValueDiffers) {
  const struct {
    const char* what;
    int parent, own, set, ownAfter;  // kNone: nothing stored
  } cases[] = {
      {"nothing anywhere, the built-in default still stored", kNone, kNone, 90, 90},
      {"nothing anywhere, another value", kNone, kNone, 75, 75},
      {"equal to the inherited value", 70, kNone, 70, kNone},
      {"differs from the inherited value", 70, kNone, 75, 75},
      {"equal to the own value", 70, 50, 50, 50},
      {"own value set to the parent's stays an override", 70, 50, 70, 70},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Tree t;
    if (c.parent != kNone) CPrjConfig::SetFuzzyUpdate(*t.root, c.parent);
    if (c.own != kNone) CPrjConfig::SetFuzzyUpdate(*t.file, c.own);
    CPrjConfig::SetFuzzyUpdate(*t.file, c.set);
    EXPECT_EQ(Own(*t.file), c.ownAfter);
    EXPECT_EQ(CPrjConfig::HasFuzzyUpdate(*t.file), c.ownAfter != kNone);
    EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(*t.res), c.set);
    EXPECT_EQ(Own(*t.root), c.parent);
  }
}

TEST(PrjConfigStoring, ResetReturnsToTheInheritedValue) {
  Tree t;
  CPrjConfig::SetFuzzyUpdate(*t.root, 70);
  CPrjConfig::SetFuzzyUpdate(*t.file, 50);
  CPrjConfig::ResetFuzzyUpdate(*t.res);  // holds nothing: nothing happens
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(*t.res), 50);
  CPrjConfig::ResetFuzzyUpdate(*t.file);
  EXPECT_FALSE(CPrjConfig::HasFuzzyUpdate(*t.file));
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(*t.res), 70);
  EXPECT_EQ(Own(*t.root), 70);
  CPrjConfig::ResetFuzzyUpdate(*t.root);
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(*t.res), 90);
  EXPECT_TRUE(t.root->GetCfgProps().GetProps().empty());
}

TEST(PrjConfigStoring, AValueOfAnotherClassUnderTheKeyCountsAsAbsent) {
  Tree t;
  CPrjConfig::SetFuzzyUpdate(*t.root, 70);
  CCfgHolder::SetPropW(*t.file, CPrjConfig::FuzzyUpdatePropName(), new CStrProp(u"70"));
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(*t.res), 90);  // the nearest holder decides
  EXPECT_FALSE(CPrjConfig::HasFuzzyUpdate(*t.file));
  CPrjConfig::SetFuzzyUpdate(*t.file, 70);  // replaces the stray value
  EXPECT_EQ(Own(*t.file), 70);
  EXPECT_TRUE(CPrjConfig::HasFuzzyUpdate(*t.file));
}

TEST(PrjConfigOperator, EditsTheValueOfItsItemOnly) {
  Tree t;
  CPrjConfig::SetFuzzyUpdate(*t.root, 70);
  const std::unique_ptr<IPropOperator> op(CPrjConfig::CreateFuzzyUpdateOperator(*t.file));
  EXPECT_EQ(op->GetName(), CPrjConfig::FuzzyUpdatePropName());
  EXPECT_FALSE(op->IsDefault());  // the root holds a value
  EXPECT_EQ(op->GetValue(true)->GetInt(), 70);
  EXPECT_EQ(op->GetValue(false)->GetInt(), 90);  // the operator's default

  op->SetValue(new CIntProp(70));  // equal to the inherited value: dropped
  EXPECT_EQ(Own(*t.file), kNone);
  op->SetValue(new CIntProp(75));
  EXPECT_EQ(Own(*t.file), 75);
  EXPECT_EQ(Own(*t.root), 70);
  EXPECT_EQ(Own(*t.sibling), kNone);
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(*t.res), 75);
  EXPECT_EQ(op->GetValue(false)->GetInt(), 75);
  op->SetValue(nullptr);
  EXPECT_EQ(Own(*t.file), 75);

  op->Reset();
  EXPECT_EQ(Own(*t.file), kNone);
  EXPECT_EQ(Own(*t.root), 70);
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(*t.file), 70);
}

TEST(PrjConfigOperator, ComparesWithTheBuiltInDefaultUnlikeSet) {
  CResItem lone;
  const std::unique_ptr<IPropOperator> op(CPrjConfig::CreateFuzzyUpdateOperator(lone));
  op->SetValue(new CIntProp(90));
  EXPECT_TRUE(op->IsDefault());
  EXPECT_FALSE(CPrjConfig::HasFuzzyUpdate(lone));
  // A value of another class never equals the setting's value.
  const std::unique_ptr<IPropOperator> flag(CPrjConfig::CreateTranslateByValueOperator(lone));
  flag->SetValue(new CIntProp(1));
  EXPECT_FALSE(flag->IsDefault());
  EXPECT_TRUE(CPrjConfig::GetTranslateByValue(lone));  // the stray value counts as absent
  flag->Reset();
  // Set stores the built-in default: no item of the chain held the key.
  CPrjConfig::SetFuzzyUpdate(lone, 90);
  EXPECT_TRUE(CPrjConfig::HasFuzzyUpdate(lone));
  EXPECT_FALSE(op->IsDefault());
}

TEST(PrjConfigNotification, CarriesOldAndNewValue) {
  Tree t;
  CPrjConfig::SetFuzzyUpdate(*t.root, 70);
  Recorder recorder;
  CPrjConfig::SetFuzzyUpdate(*t.file, 70);  // inherited already: silent
  CPrjConfig::SetFuzzyUpdate(*t.file, 75);
  CPrjConfig::SetFuzzyUpdate(*t.file, 80);
  CPrjConfig::SetFuzzyUpdate(*t.file, 80);  // its own value already: silent
  CPrjConfig::ResetFuzzyUpdate(*t.file);
  CPrjConfig::ResetFuzzyUpdate(*t.file);  // nothing of its own: silent
  const std::unique_ptr<IPropOperator> op(CPrjConfig::CreateFuzzyUpdateOperator(*t.res));
  op->SetValue(new CIntProp(70));  // silent
  op->SetValue(new CIntProp(60));
  op->Reset();
  CPrjConfig::SetRunLocalizedCustom(*t.root, true);
  EXPECT_EQ(recorder.log, (itemtest::Log{"Change file", "Config file FuzzyUpdate -->#75",  //
                                         "Change file", "Config file FuzzyUpdate #75->#80",
                                         "Change file", "Config file FuzzyUpdate #80->-",
                                         "Change res", "Config res FuzzyUpdate -->#60",
                                         "Change res", "Config res FuzzyUpdate #60->-",
                                         "Change root", "Config root RunLocalizedCustom -->true"}));
}

TEST(PrjConfigListing, SettingsThatDifferFromTheirDefaults) {
  Tree t;
  EXPECT_TRUE(Changed(CPrjConfig::Settings(), *t.res).empty());
  CPrjConfig::SetFuzzyUpdate(*t.root, 85);
  CPrjConfig::SetbCrashUseTempDir(*t.root, true);  // stored, but the default
  CPrjConfig::SetRunLocalizedCustom(*t.root, true);
  CPrjConfig::SetRunLocalizedCmd(*t.file, u"C:\\run \"it\".exe");
  CPrjLangs langs(0x0409);
  langs.setSelectedLangs({0x0407, 0x0411});
  CPrjConfig::SetPrjLangs(*t.file, langs);
  CPrjConfig::SetBrandMap(*t.file, CIntStrMap{{0, u"SourceBrand"}, {1, u"Lite"}});
  EXPECT_EQ(Changed(CPrjConfig::Settings(), *t.root),
            (Lines{"RunLocalizedCustom = true", "FuzzyUpdate = 85"}));
  EXPECT_EQ(Changed(CPrjConfig::Settings(), *t.res),
            (Lines{"RunLocalizedCustom = true", "RunLocalizedCmd = C:\\run \"it\".exe",
                   "FuzzyUpdate = 85",
                   "PrjLangs = native 1033, target 1031, secondary 7777, selected {1031, 1041}",
                   "BrandMap = {0: SourceBrand, 1: Lite}"}));
}

}  // namespace

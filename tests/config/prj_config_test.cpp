// The general project settings through their accessor families: storing
// only real changes, operators bound to one item, the change
// notification. Inheritance itself is the items' (cfg_test); keys and
// defaults: setting_keys_test; the listing: itemtool info (cli_test.cmake).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ConfigTestUtil.h"
#include "config/PrjConfig.h"
#include "platform/TestData.h"

using cfgtest::Tree;
using itemtest::Recorder;

namespace {

constexpr int kNone = -1;

int Own(const CResItem& item) {
  const CProp* own = CCfgHolder::GetPropW(item, CPrjConfig::FuzzyUpdatePropName(), false);
  return own ? own->GetInt() : kNone;
}

// Rows: the value on the root and on the file before, the value set on the
// file, the file's own value after; which of these announce a change:
// PrjConfigNotification.
TEST(PrjConfigStoring, SetStoresOnlyWhereTheEffectiveValueDiffers) {
  const auto value = [](const std::string& cell) { return cell == "-" ? kNone : std::stoi(cell); };
  for (const auto& row : testdata::Rows("config", "storing.tsv")) {
    ASSERT_EQ(row.size(), 5u);
    const struct {
      int parent, own, set, ownAfter;
    } c{value(row[0]), value(row[1]), value(row[2]), value(row[3])};
    SCOPED_TRACE(row[4]);
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

// The operator edits the value of its own item only, as the setters do;
// every real change is announced with old and new value.
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
  EXPECT_FALSE(op->IsDefault());  // the root holds a value
  EXPECT_EQ(op->GetValue(true)->GetInt(), 70);
  EXPECT_EQ(op->GetValue(false)->GetInt(), 90);  // the operator's default
  op->SetValue(new CIntProp(70));                // equal to the inherited value: dropped, silent
  EXPECT_EQ(Own(*t.res), kNone);
  op->SetValue(new CIntProp(60));
  EXPECT_EQ(Own(*t.res), 60);
  EXPECT_EQ(Own(*t.root), 70);
  op->Reset();
  EXPECT_EQ(Own(*t.res), kNone);
  CPrjConfig::SetRunLocalizedCustom(*t.root, true);
  EXPECT_EQ(recorder.log, (itemtest::Log{"Change file", "Config file FuzzyUpdate -->#75",  //
                                         "Change file", "Config file FuzzyUpdate #75->#80",
                                         "Change file", "Config file FuzzyUpdate #80->-",
                                         "Change res", "Config res FuzzyUpdate -->#60",
                                         "Change res", "Config res FuzzyUpdate #60->-",
                                         "Change root", "Config root RunLocalizedCustom -->true"}));
}

}  // namespace

// The accessor machinery used by another accessor class than the project
// settings: dotted keys, value types of other property classes, a setting
// name shared with CPrjConfig, and the class's own table of settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/PrjConfig.h"

namespace {

CFilter Everything() { return CFilter({u"*"}, {}); }

#define ITEMLIB_TEST_FORMAT_SETTINGS(SETTING)                         \
  SETTING(OutFile, CString, u"Fmt.OutFile", u"$(OutputDir)\\out.dll") \
  SETTING(FuzzyUpdate, int, u"Fmt.FuzzyUpdate", -1)                   \
  SETTING(Langs, CLangSet, u"Fmt.Langs", CLangSet{0x0407})            \
  SETTING(Styles, CFilter, u"Fmt.Styles", Everything())               \
  SETTING(Widths, std::vector<int>, u"Fmt.Widths", std::vector<int>())

// An output-format accessor as later ones are declared.
class CFormatCfg {
 public:
  ITEMLIB_TEST_FORMAT_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_TEST_FORMAT_SETTINGS)
};

TEST(CfgAccessor, AnotherAccessorClassHasItsOwnKeysDefaultsAndTable) {
  CResItem root;
  EXPECT_EQ(CFormatCfg::Settings().size(), 5u);
  EXPECT_EQ(CFormatCfg::FuzzyUpdatePropName().GetStr(), CString(u"Fmt.FuzzyUpdate"));
  EXPECT_EQ(CFormatCfg::GetFuzzyUpdate(root), -1);
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(root), 90);
  EXPECT_EQ(CFormatCfg::GetOutFile(root), CString(u"$(OutputDir)\\out.dll"));
  EXPECT_EQ(CFormatCfg::GetLangs(root), (CLangSet{0x0407}));
  EXPECT_TRUE(CFormatCfg::GetStyles(root).IsAllowedName(u"Bold"));
  EXPECT_TRUE(cfgtest::Changed(CFormatCfg::Settings(), root).empty());

  CFormatCfg::SetFuzzyUpdate(root, 5);
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(root), 90);
  EXPECT_FALSE(CPrjConfig::HasFuzzyUpdate(root));
  CFormatCfg::SetLangs(root, {0x0407, 0x0411});
  CFormatCfg::SetStyles(root, CFilter({u"*"}, {u"Italic", u"Bold"}));
  CFormatCfg::SetWidths(root, {3, -4});
  EXPECT_FALSE(CFormatCfg::GetStyles(root).IsAllowedName(u"bold"));
  EXPECT_EQ(cfgtest::Changed(CFormatCfg::Settings(), root),
            (cfgtest::Lines{"Fmt.FuzzyUpdate = 5", "Fmt.Langs = {1031, 1041}",
                            "Fmt.Styles = includes {*}, excludes {Bold, Italic}",
                            "Fmt.Widths = {3, -4}"}));
  // A stored value equal to the default is not listed.
  CFormatCfg::SetOutFile(root, u"$(OutputDir)\\out.dll");
  EXPECT_TRUE(CFormatCfg::HasOutFile(root));
  EXPECT_EQ(cfgtest::Changed(CFormatCfg::Settings(), root).size(), 4u);
}

}  // namespace

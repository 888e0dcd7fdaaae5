// Output patterns expanded for real files: language macros from the language
// map, the brand's name from the project's brand map, the output folder from
// its own setting, file macros from the caller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/FormatCfg.h"
#include "config/PrjConfig.h"

namespace {

constexpr int kDe = 0x0407;
constexpr int kJa = 0x0411;
constexpr int kBrand1 = 1 << 16;
constexpr int kBrand2 = 2 << 16;

using Pattern = const CString& (*)(const CResItem&);

const MacrosUtil::MacrosMap kFile{
    {u"$(SourceDir)", u"C:\\src"}, {u"$(SrcFileName)", u"app"}, {u"$(SrcFileExt)", u".exe"}};

class OutputPatterns : public ::testing::Test {
 protected:
  void SetUp() override {
    CPrjConfig::SetBrandMap(*tree.root, CIntStrMap{{0, u"SourceBrand"}, {1, u"Lite"}});
  }
  CString Expand(Pattern pattern, int lang) const {
    return COutputDirCfg::ExpandPattern(*tree.res, pattern(*tree.res), lang, kFile);
  }
  cfgtest::Tree tree;
};

TEST_F(OutputPatterns, DefaultsExpandPerLanguageAndBrand) {
  struct Case {
    Pattern pattern;
    int lang;
    const char* expected;
  };
  const Case cases[] = {
      {&CPEFormatCfg::GetSingleLangOutFile, kDe, "C:\\src\\SourceBrand\\de-DE\\app.exe"},
      {&CPEFormatCfg::GetSingleLangOutFile, kJa | kBrand1, "C:\\src\\Lite\\ja-JP\\app.exe"},
      {&CPEFormatCfg::GetResOnlyOutFile, kDe | kBrand1, "C:\\src\\Lite\\appDEU.dll"},
      {&CPEFormatCfg::GetMultiLangOutFile, kJa | kBrand1, "C:\\src\\Lite\\Localized\\app.exe"},
      {&CDfmCfg::GetResOnlyOutFile, kDe | kBrand1, "C:\\src\\Lite\\app.DEU"},
      {&CNetResCfg::GetOutputPattern, kDe | kBrand1, "C:\\src\\Lite\\app.de-DE.exe"},
      {&CNetBinOutCfg::GetOutputPattern, kJa | kBrand1, "C:\\src\\Lite\\ja-JP\\app.resources.dll"},
      // A brand the map does not name is spelled by its number.
      {&CNetBinOutCfg::GetOutputPattern, kDe | kBrand2, "C:\\src\\2\\de-DE\\app.resources.dll"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Expand(c.pattern, c.lang).ToUtf8(), c.expected) << std::hex << c.lang;
  }
}

TEST_F(OutputPatterns, ProjectValuesAndCallerMacrosTakePart) {
  COutputDirCfg::SetOutputDir(*tree.file, u"D:\\out\\$(Brand)\\$(LangId)");
  CPEFormatCfg::SetSingleLangOutFile(*tree.root, u"$(OutputDir)\\$(JavaLang)_$(SrcFileName)");
  EXPECT_EQ(Expand(&CPEFormatCfg::GetSingleLangOutFile, kJa | kBrand1),
            CString(u"D:\\out\\Lite\\1041\\ja_JP_app"));
  // The caller's macros win over the project's; unknown macros stay.
  MacrosUtil::MacrosMap file = kFile;
  file[u"$(Brand)"] = u"Pro";
  EXPECT_EQ(COutputDirCfg::ExpandPattern(*tree.res, u"$(OutputDir)$(Unknown)", kDe, file),
            CString(u"D:\\out\\Pro\\1031$(Unknown)"));
  // Above the folder's override the default folder applies.
  EXPECT_EQ(COutputDirCfg::ExpandPattern(*tree.sibling, u"$(OutputDir)", kDe, kFile),
            CString(u"C:\\src\\SourceBrand"));
}

}  // namespace

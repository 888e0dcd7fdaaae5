// Output patterns expanded for real files: language macros from the language
// map, the brand's name from the project's brand map, the output folder from
// its own setting, file macros from the caller.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "ConfigTestUtil.h"
#include "config/FormatCfg.h"
#include "config/PrjConfig.h"
#include "platform/TestData.h"

namespace {

constexpr int kDe = 0x0407;
constexpr int kJa = 0x0411;
constexpr int kBrand1 = 1 << 16;

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

// Rows: the default pattern, the language, the expansion; a brand the map
// does not name is spelled by its number.
TEST_F(OutputPatterns, DefaultsExpandPerLanguageAndBrand) {
  const std::map<std::string, Pattern> patterns = {
      {"PE single", &CPEFormatCfg::GetSingleLangOutFile},
      {"PE resource-only", &CPEFormatCfg::GetResOnlyOutFile},
      {"PE multi", &CPEFormatCfg::GetMultiLangOutFile},
      {"DFM resource-only", &CDfmCfg::GetResOnlyOutFile},
      {"NET resources", &CNetResCfg::GetOutputPattern},
      {"NET binary", &CNetBinOutCfg::GetOutputPattern},
  };
  for (const auto& row : testdata::Rows("config", "output_patterns.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    const int lang = static_cast<int>(std::stol(row[1], nullptr, 0));
    EXPECT_EQ(Expand(patterns.at(row[0]), lang).ToUtf8(), row[2]) << row[0] << " " << row[1];
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

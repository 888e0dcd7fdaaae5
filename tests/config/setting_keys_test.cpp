// Every key and built-in default of the project, output-format, database and
// control mapping accessor classes, typed from the product's settings tables:
// keys are stored in projects, so a typo here is a format break.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/ControlMapping.h"
#include "config/DBCfg.h"
#include "config/FormatCfg.h"
#include "config/PrjConfig.h"

namespace {

// The key and the default as the settings listing prints it, in declaration
// order; the text tells booleans, numbers and texts apart.
using Rows = std::vector<std::pair<const char*, const char*>>;

TEST(SettingKeys, EveryKeyAndDefaultOfEveryAccessorClass) {
  const std::pair<const std::vector<CfgAccess::CSettingInfo>&, Rows> tables[] = {
      {CPrjConfig::Settings(),
       {{"RunLocalizedCustom", "false"},
        {"RunLocalizedCmd", ""},
        {"RunLocalizedWorkDir", ""},
        {"RunLocalizedCmdArgs", ""},
        {"CrashFinderDstDir", ""},
        {"bCrashFinderAutoStart", "true"},
        {"bCrashUseTempDir", "true"},
        {"TranslateByValue", "true"},
        {"FuzzyUpdate", "90"},
        {"AddRemovedIntoTM", "true"},
        {"PrjLangs", "native 7777, target 7777, secondary 7777, selected {}"},
        {"BrandMap", "{0: SourceBrand}"}}},
      {CPEFormatCfg::Settings(),
       {{"MFC.OutputType", "0"},
        {"MFC.SingleLang.OutFile", "$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)"},
        {"MFC.ResOnly.OutFile", "$(OutputDir)\\$(SrcFileName)$(WinLang).dll"},
        {"MFC.MultiLang.OutFile", "$(OutputDir)\\Localized\\$(SrcFileName)$(SrcFileExt)"},
        {"MFC.MultiLang.SkipEqualResources", "false"}}},
      {CDfmCfg::Settings(),
       {{"DFM.UseUnicode", "false"},
        {"DFM.OutputType", "0"},
        {"DFM.SingleLang.OutFile", "$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)"},
        {"DFM.ResOnly.OutFile", "$(OutputDir)\\$(SrcFileName).$(WinLang)"},
        {"DFM.MultiLang.OutFile", "$(OutputDir)\\Localized\\$(SrcFileName)$(SrcFileExt)"},
        {"DFM.MultiLang.SkipEqualResources", "false"}}},
      {COutputDirCfg::Settings(), {{"OutputDir", "$(SourceDir)\\$(Brand)"}}},
      {CNetResCfg::Settings(),
       {{"NetRes.ResOutFile", "$(OutputDir)\\$(SrcFileName).$(CultureName)$(SrcFileExt)"},
        {"NetRes.ParserVersion", "0"},
        {"NetRes.UseReflectionBasedFormEditor", "true"},
        {"NetRes.WpfCategoryView", "-1"},
        {"NetRes.HideEmptyItems", "true"},
        {"NetRes.WpfPropFilter", "includes {*}, excludes {}"},
        {"NetRes.ShowImages", "true"}}},
      {CNetBinOutCfg::Settings(),
       {{"NetRes.SignAssembly", "false"},
        {"NetRes.KeyPairFileName", ""},
        {"NetRes.BinOutFile", "$(OutputDir)\\$(CultureName)\\$(SrcFileName).resources.dll"},
        {"NetRes.UsePFX", "false"},
        {"NetRes.OutMisc", ""}}},
      {CCommonPreviewCfg::Settings(),
       {{"ShowPreview", "true"},
        {"ShowExcluded", "true"},
        {"ShowSkipped", "true"},
        {"ShowEmptyFile", "true"},
        {"ShowOnlyRebranded", "true"}}},
      {CInternalFilterCfg::Settings(), {{"InternalFilter", "{}"}}},
      {CChmFormatCfg::Settings(),
       {{"AutoIndex", "true"}, {"AutoTOC", "0"}, {"CreateCHI", "false"}}},
      {CDBCfg::Settings(),
       {{"ODBCConnectionString", ""},
        {"SourceName", ""},
        {"Tables", "{}"},
        {"SQLMonitor", "false"}}},
      {CDfmControlMappingCfg::Settings(), {{"Dfm.ControlMapping", "{}"}}},
      {Detail::CNetResControlMappingCfg::Settings(), {{"NetRes.ControlMapping", "{}"}}},
  };
  const CResItem lone;
  for (const auto& [settings, rows] : tables) {
    ASSERT_EQ(settings.size(), rows.size()) << rows[0].first;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(settings[i].name().GetStr().ToUtf8(), rows[i].first);
      EXPECT_EQ(settings[i].text(lone).ToUtf8(), rows[i].second) << rows[i].first;
      EXPECT_TRUE(settings[i].equalsDefault(lone)) << rows[i].first;
    }
  }
}

}  // namespace

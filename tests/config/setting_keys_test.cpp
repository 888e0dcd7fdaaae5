// Every key and built-in default of the project, output-format, database and
// control mapping accessor classes, typed from the product's settings tables:
// keys are stored in projects, so a typo here is a format break.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/ControlMapping.h"
#include "config/DBCfg.h"
#include "config/FormatCfg.h"
#include "config/PrjConfig.h"

namespace {

using Create = IPropOperator* (*)(CResItem&);
using PropPtr = std::shared_ptr<const CProp>;

struct Row {
  const char16_t* key;
  Create create;
  PropPtr def;  // the built-in default, of the setting's property class
};

PropPtr Str(const char16_t* text) { return std::make_shared<CStrProp>(CString(text)); }
PropPtr Int(int value) { return std::make_shared<CIntProp>(value); }
PropPtr Bool(bool value) { return std::make_shared<CBoolProp>(value); }

struct ClassTable {
  const char* cls;
  const std::vector<CfgAccess::CSettingInfo>& settings;
  std::vector<Row> rows;  // in declaration order
};

std::vector<ClassTable> Tables() {
  using C = CPrjConfig;
  return {
      {"CPrjConfig",
       C::Settings(),
       {{u"RunLocalizedCustom", &C::CreateRunLocalizedCustomOperator, Bool(false)},
        {u"RunLocalizedCmd", &C::CreateRunLocalizedCmdOperator, Str(u"")},
        {u"RunLocalizedWorkDir", &C::CreateRunLocalizedWorkDirOperator, Str(u"")},
        {u"RunLocalizedCmdArgs", &C::CreateRunLocalizedCmdArgsOperator, Str(u"")},
        {u"CrashFinderDstDir", &C::CreateCrashFinderDstDirOperator, Str(u"")},
        {u"bCrashFinderAutoStart", &C::CreatebCrashFinderAutoStartOperator, Bool(true)},
        {u"bCrashUseTempDir", &C::CreatebCrashUseTempDirOperator, Bool(true)},
        {u"TranslateByValue", &C::CreateTranslateByValueOperator, Bool(true)},
        {u"FuzzyUpdate", &C::CreateFuzzyUpdateOperator, Int(90)},
        {u"AddRemovedIntoTM", &C::CreateAddRemovedIntoTMOperator, Bool(true)},
        {u"PrjLangs", &C::CreatePrjLangsOperator, std::make_shared<CPrjLangsProp>(CPrjLangs(7777))},
        {u"BrandMap", &C::CreateBrandMapOperator,
         std::make_shared<CIntStrMapProp>(CIntStrMap{{0, u"SourceBrand"}})}}},
      {"CPEFormatCfg",
       CPEFormatCfg::Settings(),
       {{u"MFC.OutputType", &CPEFormatCfg::CreateOutputTypeOperator, Int(0)},
        {u"MFC.SingleLang.OutFile", &CPEFormatCfg::CreateSingleLangOutFileOperator,
         Str(u"$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)")},
        {u"MFC.ResOnly.OutFile", &CPEFormatCfg::CreateResOnlyOutFileOperator,
         Str(u"$(OutputDir)\\$(SrcFileName)$(WinLang).dll")},
        {u"MFC.MultiLang.OutFile", &CPEFormatCfg::CreateMultiLangOutFileOperator,
         Str(u"$(OutputDir)\\Localized\\$(SrcFileName)$(SrcFileExt)")},
        {u"MFC.MultiLang.SkipEqualResources",
         &CPEFormatCfg::CreateMultilangSkipEqualResourcesOperator, Bool(false)}}},
      {"CDfmCfg",
       CDfmCfg::Settings(),
       {{u"DFM.UseUnicode", &CDfmCfg::CreateUseUnicodeOperator, Bool(false)},
        {u"DFM.OutputType", &CDfmCfg::CreateOutputTypeOperator, Int(0)},
        {u"DFM.SingleLang.OutFile", &CDfmCfg::CreateSingleLangOutFileOperator,
         Str(u"$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)")},
        {u"DFM.ResOnly.OutFile", &CDfmCfg::CreateResOnlyOutFileOperator,
         Str(u"$(OutputDir)\\$(SrcFileName).$(WinLang)")},
        {u"DFM.MultiLang.OutFile", &CDfmCfg::CreateMultiLangOutFileOperator,
         Str(u"$(OutputDir)\\Localized\\$(SrcFileName)$(SrcFileExt)")},
        {u"DFM.MultiLang.SkipEqualResources", &CDfmCfg::CreateMultilangSkipEqualResourcesOperator,
         Bool(false)}}},
      {"COutputDirCfg",
       COutputDirCfg::Settings(),
       {{u"OutputDir", &COutputDirCfg::CreateOutputDirOperator, Str(u"$(SourceDir)\\$(Brand)")}}},
      {"CNetResCfg",
       CNetResCfg::Settings(),
       {{u"NetRes.ResOutFile", &CNetResCfg::CreateOutputPatternOperator,
         Str(u"$(OutputDir)\\$(SrcFileName).$(CultureName)$(SrcFileExt)")},
        {u"NetRes.ParserVersion", &CNetResCfg::CreateParserVersionOperator, Int(0)},
        {u"NetRes.UseReflectionBasedFormEditor",
         &CNetResCfg::CreateUseReflectionBasedFormEditorOperator, Bool(true)},
        {u"NetRes.WpfCategoryView", &CNetResCfg::CreateWpfCategoryViewOperator, Int(-1)},
        {u"NetRes.HideEmptyItems", &CNetResCfg::CreateWpfHideEmptyItemsOperator, Bool(true)},
        {u"NetRes.WpfPropFilter", &CNetResCfg::CreateWpfPropFilterOperator,
         std::make_shared<CFilterProp>(CFilter({u"*"}, {}))},
        {u"NetRes.ShowImages", &CNetResCfg::CreateShowImagesOperator, Bool(true)}}},
      {"CNetBinOutCfg",
       CNetBinOutCfg::Settings(),
       {{u"NetRes.SignAssembly", &CNetBinOutCfg::CreateSignAssemblyOperator, Bool(false)},
        {u"NetRes.KeyPairFileName", &CNetBinOutCfg::CreateKeyPairFileNameOperator, Str(u"")},
        {u"NetRes.BinOutFile", &CNetBinOutCfg::CreateOutputPatternOperator,
         Str(u"$(OutputDir)\\$(CultureName)\\$(SrcFileName).resources.dll")},
        {u"NetRes.UsePFX", &CNetBinOutCfg::CreateUsePFXOperator, Bool(false)},
        {u"NetRes.OutMisc", &CNetBinOutCfg::CreatePFXPasswordOperator, Str(u"")}}},
      {"CCommonPreviewCfg",
       CCommonPreviewCfg::Settings(),
       {{u"ShowPreview", &CCommonPreviewCfg::CreateShowPreviewOperator, Bool(true)},
        {u"ShowExcluded", &CCommonPreviewCfg::CreateShowExcludedOperator, Bool(true)},
        {u"ShowSkipped", &CCommonPreviewCfg::CreateShowSkippedOperator, Bool(true)},
        {u"ShowEmptyFile", &CCommonPreviewCfg::CreateShowEmptyFileOperator, Bool(true)},
        {u"ShowOnlyRebranded", &CCommonPreviewCfg::CreateShowOnlyRebrandedOperator, Bool(true)}}},
      {"CInternalFilterCfg",
       CInternalFilterCfg::Settings(),
       {{u"InternalFilter", &CInternalFilterCfg::CreateFilterOperator,
         std::make_shared<CLangSetProp>(CLangSet{})}}},
      {"CChmFormatCfg",
       CChmFormatCfg::Settings(),
       {{u"AutoIndex", &CChmFormatCfg::CreateAutoIndexOperator, Bool(true)},
        {u"AutoTOC", &CChmFormatCfg::CreateAutoTOCOperator, Int(0)},
        {u"CreateCHI", &CChmFormatCfg::CreateCreateCHIOperator, Bool(false)}}},
      {"CDBCfg",
       CDBCfg::Settings(),
       {{u"ODBCConnectionString", &CDBCfg::CreateODBCConnectionStringOperator, Str(u"")},
        {u"SourceName", &CDBCfg::CreateSourceNameOperator, Str(u"")},
        {u"Tables", &CDBCfg::CreateTablesOperator,
         std::make_shared<CDBTablesCfgProp>(CDBTablesCfg())},
        {u"SQLMonitor", &CDBCfg::CreateSQLMonitorOperator, Bool(false)}}},
      {"CDfmControlMappingCfg",
       CDfmControlMappingCfg::Settings(),
       {{u"Dfm.ControlMapping", &CDfmControlMappingCfg::CreateControlMappingOperator,
         std::make_shared<CControlMappingProp>(CControlMappingList())}}},
      {"CNetResControlMappingCfg",
       Detail::CNetResControlMappingCfg::Settings(),
       {{u"NetRes.ControlMapping", &Detail::CNetResControlMappingCfg::CreateControlMappingOperator,
         std::make_shared<CControlMappingProp>(CControlMappingList())}}},
  };
}

TEST(SettingKeys, EveryKeyAndDefaultOfEveryAccessorClass) {
  CResItem lone;
  for (const ClassTable& table : Tables()) {
    SCOPED_TRACE(table.cls);
    ASSERT_EQ(table.settings.size(), table.rows.size());
    for (size_t i = 0; i < table.rows.size(); ++i) {
      const Row& row = table.rows[i];
      SCOPED_TRACE(CString(row.key).ToUtf8());
      EXPECT_EQ(table.settings[i].name().GetStr(), CString(row.key));
      const std::unique_ptr<IPropOperator> op(row.create(lone));
      EXPECT_EQ(op->GetName().GetStr(), CString(row.key));
      EXPECT_TRUE(op->IsDefault());
      // Same class and value; IsEqual is false across property classes.
      EXPECT_TRUE(op->GetValue(true)->IsEqual(*row.def));
      EXPECT_TRUE(op->GetValue(false)->IsEqual(*row.def));
      EXPECT_TRUE(table.settings[i].equalsDefault(lone));
    }
  }
  EXPECT_TRUE(lone.GetCfgProps().GetProps().empty());
}

}  // namespace

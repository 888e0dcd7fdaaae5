// The output-format settings: where and how the parsers and generators write
// localized files (executables, form files, .NET resources and assemblies,
// preview, compiled help), and the expansion of their file-name patterns.
#pragma once

#include "config/CfgAccessor.h"
#include "lang/PrjLangs.h"
#include "services/Macros.h"

// Each list: name, value type, key, built-in default. Keys are what projects
// store; several differ from the exported name on purpose (older projects).
// Executables and form files share their output settings under their own key
// prefix ("MFC", "DFM"); only the resource-only file's default differs.
#define ITEMLIB_FILE_FORMAT_SETTINGS(SETTING, PREFIX, RES_ONLY_DEFAULT)          \
  SETTING(OutputType, int, PREFIX u".OutputType", 0)                             \
  SETTING(SingleLangOutFile, CString, PREFIX u".SingleLang.OutFile",             \
          u"$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)")          \
  SETTING(ResOnlyOutFile, CString, PREFIX u".ResOnly.OutFile", RES_ONLY_DEFAULT) \
  SETTING(MultiLangOutFile, CString, PREFIX u".MultiLang.OutFile",               \
          u"$(OutputDir)\\Localized\\$(SrcFileName)$(SrcFileExt)")               \
  SETTING(MultilangSkipEqualResources, bool, PREFIX u".MultiLang.SkipEqualResources", false)

#define ITEMLIB_PEFORMAT_SETTINGS(SETTING) \
  ITEMLIB_FILE_FORMAT_SETTINGS(SETTING, u"MFC", u"$(OutputDir)\\$(SrcFileName)$(WinLang).dll")

#define ITEMLIB_DFM_SETTINGS(SETTING)                 \
  SETTING(UseUnicode, bool, u"DFM.UseUnicode", false) \
  ITEMLIB_FILE_FORMAT_SETTINGS(SETTING, u"DFM", u"$(OutputDir)\\$(SrcFileName).$(WinLang)")

#define ITEMLIB_OUTPUTDIR_SETTINGS(SETTING) \
  SETTING(OutputDir, CString, u"OutputDir", u"$(SourceDir)\\$(Brand)")

#define ITEMLIB_NETRES_SETTINGS(SETTING)                                                    \
  SETTING(OutputPattern, CString, u"NetRes.ResOutFile",                                     \
          u"$(OutputDir)\\$(SrcFileName).$(CultureName)$(SrcFileExt)")                      \
  SETTING(ParserVersion, int, u"NetRes.ParserVersion", 0)                                   \
  SETTING(UseReflectionBasedFormEditor, bool, u"NetRes.UseReflectionBasedFormEditor", true) \
  SETTING(WpfCategoryView, int, u"NetRes.WpfCategoryView", -1)                              \
  SETTING(WpfHideEmptyItems, bool, u"NetRes.HideEmptyItems", true)                          \
  SETTING(WpfPropFilter, CFilter, u"NetRes.WpfPropFilter", GetDefaultWpfPropFilter())       \
  SETTING(ShowImages, bool, u"NetRes.ShowImages", true)

#define ITEMLIB_NETBINOUT_SETTINGS(SETTING)                               \
  SETTING(SignAssembly, bool, u"NetRes.SignAssembly", false)              \
  SETTING(KeyPairFileName, CString, u"NetRes.KeyPairFileName", CString()) \
  SETTING(OutputPattern, CString, u"NetRes.BinOutFile",                   \
          u"$(OutputDir)\\$(CultureName)\\$(SrcFileName).resources.dll")  \
  SETTING(UsePFX, bool, u"NetRes.UsePFX", false)                          \
  SETTING(PFXPassword, CString, u"NetRes.OutMisc", CString())

#define ITEMLIB_PREVIEW_SETTINGS(SETTING)              \
  SETTING(ShowPreview, bool, u"ShowPreview", true)     \
  SETTING(ShowExcluded, bool, u"ShowExcluded", true)   \
  SETTING(ShowSkipped, bool, u"ShowSkipped", true)     \
  SETTING(ShowEmptyFile, bool, u"ShowEmptyFile", true) \
  SETTING(ShowOnlyRebranded, bool, u"ShowOnlyRebranded", true)

#define ITEMLIB_INTERNALFILTER_SETTINGS(SETTING) \
  SETTING(Filter, CLangSet, u"InternalFilter", CLangSet())

#define ITEMLIB_CHMFORMAT_SETTINGS(SETTING)    \
  SETTING(AutoIndex, bool, u"AutoIndex", true) \
  SETTING(AutoTOC, int, u"AutoTOC", 0)         \
  SETTING(CreateCHI, bool, u"CreateCHI", false)

// Windows executables and resource DLLs.
class CPEFormatCfg {
 public:
  ITEMLIB_PEFORMAT_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_PEFORMAT_SETTINGS)

  // The pattern that "MFC.OutputType" selects: 0 one copy per language,
  // 1 a resource-only DLL per language, 2 one file of all languages. Empty
  // for another value, which no writer of this library produces.
  static CString GetOutFilePattern(const CResItem& item);
};

// Form files. Their "DFM.OutputType" numbering belongs to the form parser.
class CDfmCfg {
 public:
  ITEMLIB_DFM_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_DFM_SETTINGS)
};

// The project's output folder, the value of "$(OutputDir)" in every pattern,
// and the expansion of output patterns for one localized file.
class COutputDirCfg {
 public:
  ITEMLIB_OUTPUTDIR_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_OUTPUTDIR_SETTINGS)

  // The macros of the output file of `lang` (brand bits included) on `item`:
  // the language macros of the language map, "$(Brand)" the brand's name in
  // the project's brand map (its number when the map has no name for it),
  // "$(OutputDir)" the unexpanded folder pattern, then `fileMacros` (the
  // caller's "$(SourceDir)", "$(SrcFileName)", "$(SrcFileExt)"), which win.
  static MacrosUtil::MacrosMap GetOutputMacros(const CResItem& item, int lang,
                                               const MacrosUtil::MacrosMap& fileMacros);
  // `pattern` expanded with GetOutputMacros; unknown macros stay as written.
  static CString ExpandPattern(const CResItem& item, const CString& pattern, int lang,
                               const MacrosUtil::MacrosMap& fileMacros);
};

// .NET resource files.
class CNetResCfg {
 public:
  ITEMLIB_NETRES_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_NETRES_SETTINGS)

  // Includes "*" and excludes nothing: every WPF property is shown.
  static CFilter GetDefaultWpfPropFilter() { return CFilter({u"*"}, {}); }
};

// .NET satellite assemblies.
class CNetBinOutCfg {
 public:
  ITEMLIB_NETBINOUT_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_NETBINOUT_SETTINGS)
};

// Preview of localized items.
class CCommonPreviewCfg {
 public:
  ITEMLIB_PREVIEW_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_PREVIEW_SETTINGS)
};

// A language set the front end keeps for its own filtering.
class CInternalFilterCfg {
 public:
  ITEMLIB_INTERNALFILTER_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_INTERNALFILTER_SETTINGS)
};

// Compiled help output.
class CChmFormatCfg {
 public:
  ITEMLIB_CHMFORMAT_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_CHMFORMAT_SETTINGS)
};

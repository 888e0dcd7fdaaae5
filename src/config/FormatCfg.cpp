// Output-pattern selection and expansion. The settings themselves are all
// declared in the header; only the operations that combine several settings
// with the language map live here.
#include "config/FormatCfg.h"

#include "config/PrjConfig.h"
#include "items/TransItem.h"
#include "lang/LangMap.h"

CString CPEFormatCfg::GetOutFilePattern(const CResItem& item) {
  switch (GetOutputType(item)) {
    case 0:
      return GetSingleLangOutFile(item);
    case 1:
      return GetResOnlyOutFile(item);
    case 2:
      return GetMultiLangOutFile(item);
    default:
      return CString();
  }
}

MacrosUtil::MacrosMap COutputDirCfg::GetOutputMacros(const CResItem& item, int lang,
                                                     const MacrosUtil::MacrosMap& fileMacros) {
  const CLangId id(lang);
  MacrosUtil::MacrosMap macros = CLangMap::Instance().GetLangMacros(id.GetRawLng());
  const int brand = id.GetBrand();
  const CIntStrMap& brands = CPrjConfig::GetBrandMap(item);
  const auto named = brands.find(brand);
  CString brandName;
  if (named != brands.end()) {
    brandName = named->second;
  } else {
    brandName.Format(u"%d", brand);
  }
  macros[u"$(Brand)"] = brandName;
  // The folder is itself a pattern; the expansion's repeated passes resolve
  // the macros it brings in.
  macros[u"$(OutputDir)"] = GetOutputDir(item);
  return MacrosUtil::Merge(macros, fileMacros);
}

CString COutputDirCfg::ExpandPattern(const CResItem& item, const CString& pattern, int lang,
                                     const MacrosUtil::MacrosMap& fileMacros) {
  return MacrosUtil::ApplyMacrosMap(pattern, GetOutputMacros(item, lang, fileMacros));
}

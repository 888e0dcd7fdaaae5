// The general project settings (running the localized program, the crash
// finder, translation options, languages and brands) and the language and
// brand operations built on them. Values live on items, inherited downwards.
#pragma once

#include "config/CfgAccessor.h"
#include "lang/IntStrMap.h"
#include "lang/PrjLangs.h"

// name, value type, key, built-in default. The accessor's name is its key.
#define ITEMLIB_PRJCONFIG_SETTINGS(SETTING)                                \
  SETTING(RunLocalizedCustom, bool, u"RunLocalizedCustom", false)          \
  SETTING(RunLocalizedCmd, CString, u"RunLocalizedCmd", CString())         \
  SETTING(RunLocalizedWorkDir, CString, u"RunLocalizedWorkDir", CString()) \
  SETTING(RunLocalizedCmdArgs, CString, u"RunLocalizedCmdArgs", CString()) \
  SETTING(CrashFinderDstDir, CString, u"CrashFinderDstDir", CString())     \
  SETTING(bCrashFinderAutoStart, bool, u"bCrashFinderAutoStart", true)     \
  SETTING(bCrashUseTempDir, bool, u"bCrashUseTempDir", true)               \
  SETTING(TranslateByValue, bool, u"TranslateByValue", true)               \
  SETTING(FuzzyUpdate, int, u"FuzzyUpdate", 90)                            \
  SETTING(AddRemovedIntoTM, bool, u"AddRemovedIntoTM", true)               \
  SETTING(PrjLangs, CPrjLangs, u"PrjLangs", CPrjLangs(CLangId::Undefined)) \
  SETTING(BrandMap, CIntStrMap, u"BrandMap", GetDefaultBrandMap())

// The general project settings. Every operation is static; see
// ITEMLIB_SETTING for the family each setting brings.
class CPrjConfig {
 public:
  ITEMLIB_PRJCONFIG_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_PRJCONFIG_SETTINGS)

  // Parts of the effective language selection.
  static const CLangSet& GetSelectedLangs(const CResItem& item);
  static int GetNative(const CResItem& item);
  static int GetTarget(const CResItem& item);
  static int GetSecondary(const CResItem& item);

  // Each applies the CPrjLangs rule to a copy of the effective selection and
  // stores the copy on the item when it differs; a rejected change stores
  // nothing.
  static void SetSelectedLangs(CResItem& item, const CLangSet& langs);
  static void AddSelectedLang(CResItem& item, int lang);
  static void SetTarget(CResItem& item, int lang);
  static void SetSecondary(CResItem& item, int lang);
  // Clears the secondary language by storing a selection without one; it
  // never removes "PrjLangs" from the item.
  static void ResetSecondary(CResItem& item);

  // The long name of the language, prefixed with its brand's name ("Lite:
  // English - United States") or number ("[2] ...") when the project has
  // more than one brand.
  static CString GetBrandedLangName(const CResItem& item, int lang);
  // Every language, in every brand, the project produces output for:
  // `brand` picks one brand, CLangId::UnrealBrand all of them. With several
  // brands the native language is produced in every brand but its own.
  static CLangSet GetAllOutputLangs(const CResItem& item, unsigned char brand);
  // The language `lang` is translated from: the native language in the
  // brand of `lang`, or `native` itself when `lang` is the native language.
  static int GetBrandNative(int lang, int native);

 protected:
  // The single brand 0 named "SourceBrand".
  static CIntStrMap GetDefaultBrandMap();
};

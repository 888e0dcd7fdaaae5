// The table of the languages the system knows, built once from the platform
// layer's national-language data: culture names, ANSI code pages, display
// names, Windows abbreviations, writing direction and the language macros.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

#include "platform/CString.h"
#include "platform/Nls.h"

// One language of the map.
struct CLangDescr {
  // Sets `name`; the other strings stay empty and the numbers 0.
  explicit CLangDescr(const char16_t* displayName) : name(displayName) {}

  CString name;         // group name for a group's first language, else the region's
  CString cultureName;  // en-US, de, "zh-CHT", "no"
  CString isoCountry;   // ISO 3166
  CString isoLanguage;  // ISO 639
  int languageGroup = 0;
  int lcid = 0;          // the locale every query for this entry asks about
  int ansiCodepage = 0;  // 0 for locales without an ANSI code page
};

// The language map. Reached through Instance(), built on first use and
// never changed after; the first call must not race with another. Every
// query takes a language value as CLangId does (low 16 bits the Windows
// language id, a brand in bits 16-23 that is ignored, 77777777 the old
// undefined language) and looks up its raw id, sign-extended.
class CLangMap {
 public:
  CLangMap(const CLangMap& other);
  CLangMap& operator=(const CLangMap& other);
  ~CLangMap() = default;

  static const CLangMap& Instance();

  // The entry of `lang`; for an unknown language the entry of the smallest
  // id. REQUIRES: the map is not empty (the system lists languages).
  const CLangDescr& GetLang(int lang) const;
  // 0 for an unknown language.
  int GetAnsiCodepage(int lang) const;
  // The smallest id whose culture name equals `culture`, ignoring case;
  // -1 when there is none.
  int GetLangByCulName(CString culture) const;
  // Arabic, Hebrew, Urdu, Farsi, Syriac and Divehi, by primary language
  // alone, whether the system knows the language or not.
  bool IsRtlLang(int lang) const;
  // The system's three-letter abbreviation ("ENU"), its first two letters
  // for a neutral language ("EN"); empty when the system has none.
  CString GetWinLang(int lang) const;
  // "English - United States", "Chinese, Simplified - China", "Norwegian";
  // "<primary language's long name> - (<sublanguage>)" or the id in decimal
  // for languages the name tree does not hold.
  CString GetLongLangName(int lang) const;
  // The six macros $(CultureName), $(WinLang), $(JavaLang), $(LangId),
  // $(LangLongName) and $(LangName) with their values for `lang`.
  std::map<CString, CString> GetLangMacros(int lang) const;

 protected:
  // An empty map; Init fills it.
  CLangMap() = default;
  // Builds the table from the system's language groups and locales.
  // REQUIRES: called once, on an empty map.
  void Init();

 private:
  // A language group's name (one language at one ANSI code page) with its
  // first language and its members by region or variant name.
  struct NameNode {
    int id = 0;
    std::map<CString, int> children;
  };

  static CLangMap& GetInstance();
  // System callbacks of Init; `param` is the map being built.
  static Nls::BOOL EnumLanguageGroupsProc(Nls::LGRPID group, char16_t* groupText,
                                          char16_t* groupName, Nls::DWORD flags,
                                          Nls::LONG_PTR param);
  static Nls::BOOL EnumLanguageGroupLocalesProc(Nls::LGRPID group, Nls::LCID locale,
                                                char16_t* localeText, Nls::LONG_PTR param);

  // Ids by (primary language, ANSI code page): each key is one named group.
  using Grouping = std::map<std::pair<int, int>, std::set<int>>;

  void CompletePrimaryLanguages();
  Grouping FillEntries();
  void NameGroups(const Grouping& groups);
  // Rebuilds the look-ups below from the two maps.
  void Reindex();

  static std::unique_ptr<CLangMap> instance;

  std::map<int, CLangDescr> langs_;
  std::map<CString, NameNode> names_;

  // Look-ups derived from the maps, so that every query is one hash probe.
  std::unordered_map<int, const CLangDescr*> byId_;
  std::unordered_map<CString, int> byCulture_;  // lower-cased culture name
  std::unordered_map<int, CString> longNames_;  // the first match of the tree walk
};

// The language map and the national-language data it is built from: known
// locales with their codes, code pages and abbreviations, the naming rules
// of the name tree, the fallbacks for unknown languages and the macros.
#include "lang/LangMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "items/TransItem.h"
#include "platform/Nls.h"

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

std::string Info(Nls::LCID lcid, Nls::LCTYPE type) {
  char16_t buffer[100];
  const int written = Nls::GetLocaleInfoW(lcid, type, buffer, 100);
  return written > 0 ? CString(buffer, written - 1).ToUtf8() : "<none>";
}

// Builds its own map, so that a build can be compared with the singleton.
class FreshLangMap : public CLangMap {
 public:
  FreshLangMap() { Init(); }
};

const CLangMap& Map() { return CLangMap::Instance(); }

TEST(NlsTest, WellKnownLocalesHaveWindowsCodePagesAndAbbreviations) {
  struct Case {
    Nls::LCID lcid;
    const char* ansi;
    const char* oem;
    const char* abbrev;
    const char* iso639;
    const char* iso3166;
  };
  const Case cases[] = {
      {0x0409, "1252", "437", "ENU", "en", "US"},  {0x0407, "1252", "850", "DEU", "de", "DE"},
      {0x040C, "1252", "850", "FRA", "fr", "FR"},  {0x0411, "932", "932", "JPN", "ja", "JP"},
      {0x0804, "936", "936", "CHS", "zh", "CN"},   {0x0404, "950", "950", "CHT", "zh", "TW"},
      {0x0412, "949", "949", "KOR", "ko", "KR"},   {0x0419, "1251", "866", "RUS", "ru", "RU"},
      {0x0401, "1256", "720", "ARA", "ar", "SA"},  {0x040D, "1255", "862", "HEB", "he", "IL"},
      {0x0408, "1253", "737", "ELL", "el", "GR"},  {0x041F, "1254", "857", "TRK", "tr", "TR"},
      {0x0415, "1250", "852", "PLK", "pl", "PL"},  {0x041E, "874", "874", "THA", "th", "TH"},
      {0x042A, "1258", "1258", "VIT", "vi", "VN"}, {0x0439, "0", "1", "HIN", "hi", "IN"},
      {0x0414, "1252", "850", "NOR", "nb", "NO"},  {0x0814, "1252", "850", "NON", "nn", "NO"},
      {0x2409, "1252", "850", "ENB", "en", "029"}, {0x0C0A, "1252", "850", "ESN", "es", "ES"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lcid);
    EXPECT_EQ(Info(c.lcid, Nls::LOCALE_IDEFAULTANSICODEPAGE), c.ansi);
    EXPECT_EQ(Info(c.lcid, Nls::LOCALE_IDEFAULTCODEPAGE), c.oem);
    EXPECT_EQ(Info(c.lcid, Nls::LOCALE_SABBREVLANGNAME), c.abbrev);
    EXPECT_EQ(Info(c.lcid, Nls::LOCALE_SISO639LANGNAME), c.iso639);
    EXPECT_EQ(Info(c.lcid, Nls::LOCALE_SISO3166CTRYNAME), c.iso3166);
  }
  EXPECT_EQ(Info(0x0407, Nls::LOCALE_SENGLANGUAGE), "German");
  EXPECT_EQ(Info(0x0407, Nls::LOCALE_SENGCOUNTRY), "Germany");
  EXPECT_EQ(Info(0x0407, Nls::LOCALE_SNATIVELANGNAME), "Deutsch");
  EXPECT_EQ(Info(0x0C04, Nls::LOCALE_SENGCOUNTRY), "Hong Kong SAR");  // Windows' wording
  EXPECT_EQ(Info(0x0409, Nls::LOCALE_SENGLANGUAGE | Nls::LOCALE_NOUSEROVERRIDE), "English");
}

TEST(NlsTest, GetLocaleInfoFollowsTheBufferContract) {
  char16_t buffer[8] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, nullptr, 0), 4);
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, buffer, 3), 0);
  EXPECT_EQ(buffer[0], u'x');
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, buffer, 4), 4);
  EXPECT_EQ(std::u16string(buffer), u"ENU");
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, nullptr, 4), 0);
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, buffer, -1), 0);
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, 0x7777, buffer, 8), 0);                 // unknown type
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0479, Nls::LOCALE_ILANGUAGE, buffer, 8), 0);  // not listed
  EXPECT_EQ(Nls::GetLocaleInfoW(0x10409, Nls::LOCALE_ILANGUAGE, buffer, 8), 0);
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0000, Nls::LOCALE_ILANGUAGE, buffer, 8), 0);
  // Ids are four lower-case hex digits; a neutral id keeps its own.
  EXPECT_EQ(Info(0x0C0A, Nls::LOCALE_ILANGUAGE), "0c0a");
  EXPECT_EQ(Info(0x0009, Nls::LOCALE_ILANGUAGE), "0009");
  // Neutral ids answer with their default locale; neutral Chinese as zh-CN.
  EXPECT_EQ(Info(0x0009, Nls::LOCALE_SABBREVLANGNAME), "ENU");
  EXPECT_EQ(Info(0x0004, Nls::LOCALE_SABBREVLANGNAME), "CHS");
  EXPECT_EQ(Info(0x003C, Nls::LOCALE_SABBREVLANGNAME), "IRE");  // no 0x043C: the first listed
}

struct Enumerated {
  std::vector<Nls::LGRPID> groups;
  std::vector<std::pair<Nls::LGRPID, Nls::LCID>> locales;
};

Nls::BOOL CollectLocale(Nls::LGRPID group, Nls::LCID locale, char16_t* text, Nls::LONG_PTR p) {
  auto* seen = reinterpret_cast<Enumerated*>(p);
  char expected[9];
  std::snprintf(expected, sizeof(expected), "%08x", static_cast<unsigned int>(locale));
  EXPECT_EQ(CString(text).ToUtf8(), expected);
  seen->locales.emplace_back(group, locale);
  return Nls::TRUE;
}

Nls::BOOL CollectGroup(Nls::LGRPID group, char16_t* text, char16_t* name, Nls::DWORD flags,
                       Nls::LONG_PTR p) {
  auto* seen = reinterpret_cast<Enumerated*>(p);
  EXPECT_EQ(CString(text).ToUtf8(), std::to_string(group));
  EXPECT_FALSE(CString(name).IsEmpty());
  EXPECT_EQ(flags, Nls::LGRPID_INSTALLED);
  seen->groups.push_back(group);
  EXPECT_TRUE(Nls::EnumLanguageGroupLocalesW(CollectLocale, group, 0, p));
  return Nls::TRUE;
}

Nls::BOOL StopAtFirstGroup(Nls::LGRPID, char16_t*, char16_t*, Nls::DWORD, Nls::LONG_PTR p) {
  ++*reinterpret_cast<int*>(p);
  return Nls::FALSE;
}

TEST(NlsTest, EnumerationListsSeventeenGroupsAndEveryLocaleOnce) {
  Enumerated seen;
  ASSERT_TRUE(Nls::EnumSystemLanguageGroupsW(CollectGroup, Nls::LGRPID_SUPPORTED,
                                             reinterpret_cast<Nls::LONG_PTR>(&seen)));
  ASSERT_EQ(seen.groups.size(), 17u);
  for (size_t i = 0; i < seen.groups.size(); ++i) EXPECT_EQ(seen.groups[i], i + 1);
  EXPECT_EQ(seen.locales.size(), static_cast<size_t>(Nls::LocaleCount()));
  EXPECT_GE(Nls::LocaleCount(), 200);
  const std::pair<Nls::LGRPID, Nls::LCID> expected[] = {
      {1, 0x0409},  {2, 0x0405},  {3, 0x0425},  {4, 0x0408},  {5, 0x0419},  {6, 0x041F},
      {7, 0x0411},  {8, 0x0412},  {9, 0x0404},  {10, 0x0804}, {11, 0x041E}, {12, 0x040D},
      {13, 0x0401}, {14, 0x042A}, {15, 0x0439}, {16, 0x0437}, {17, 0x042B}};
  for (const auto& pair : expected) {
    EXPECT_NE(std::find(seen.locales.begin(), seen.locales.end(), pair), seen.locales.end())
        << std::hex << pair.second;
  }

  int calls = 0;
  EXPECT_TRUE(Nls::EnumSystemLanguageGroupsW(StopAtFirstGroup, Nls::LGRPID_INSTALLED,
                                             reinterpret_cast<Nls::LONG_PTR>(&calls)));
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(Nls::EnumSystemLanguageGroupsW(CollectGroup, 0, 0));
  EXPECT_FALSE(Nls::EnumSystemLanguageGroupsW(nullptr, Nls::LGRPID_SUPPORTED, 0));
  EXPECT_FALSE(Nls::EnumLanguageGroupLocalesW(CollectLocale, 0, 0, 0));
  EXPECT_FALSE(Nls::EnumLanguageGroupLocalesW(CollectLocale, 18, 0, 0));
  EXPECT_FALSE(Nls::EnumLanguageGroupLocalesW(CollectLocale, 1, 1, 0));
}

TEST(CLangMapTest, KnownLanguagesHaveCultureAbbreviationAndCodePage) {
  struct Case {
    int id;
    const char* culture;
    const char* winLang;
    int ansi;
    int group;
    int lcid;
  };
  const Case cases[] = {
      {0x0409, "en-US", "ENU", 1252, 1, 0x0409}, {0x0009, "en", "EN", 1252, 1, 0x0409},
      {0x0809, "en-GB", "ENG", 1252, 1, 0x0809}, {0x0407, "de-DE", "DEU", 1252, 1, 0x0407},
      {0x0411, "ja-JP", "JPN", 932, 7, 0x0411},  {0x0804, "zh-CN", "CHS", 936, 10, 0x0804},
      {0x0404, "zh-TW", "CHT", 950, 9, 0x0404},  {0x0004, "zh-CHT", "CH", 950, 9, 0x0404},
      {0x0419, "ru-RU", "RUS", 1251, 5, 0x0419}, {0x0014, "no", "NO", 1252, 1, 0x0414},
      {0x0414, "no", "NOR", 1252, 1, 0x0414},    {0x0814, "nn-NO", "NON", 1252, 1, 0x0814},
      {0x0439, "hi-IN", "HIN", 0, 15, 0x0439},   {0x040D, "he-IL", "HEB", 1255, 12, 0x040D},
      {0x0C0A, "es-ES", "ESN", 1252, 1, 0x0C0A}, {0x2409, "en-029", "ENB", 1252, 1, 0x2409},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const CLangDescr& lang = Map().GetLang(c.id);
    EXPECT_EQ(U8(lang.cultureName), c.culture);
    EXPECT_EQ(U8(Map().GetWinLang(c.id)), c.winLang);
    EXPECT_EQ(lang.ansiCodepage, c.ansi);
    EXPECT_EQ(Map().GetAnsiCodepage(c.id), c.ansi);
    EXPECT_EQ(lang.languageGroup, c.group);
    EXPECT_EQ(lang.lcid, c.lcid);
  }
  EXPECT_EQ(U8(Map().GetLang(0x0409).isoLanguage), "en");
  EXPECT_EQ(U8(Map().GetLang(0x0409).isoCountry), "US");
}

TEST(CLangMapTest, EveryEntryHasACultureName) {
  const FreshLangMap map;
  int known = 0;
  for (int id = 0; id < 0x10000; ++id) {
    if (&map.GetLang(id) == &map.GetLang(0x0001) && id != 0x0001) continue;
    ++known;
    const CString culture = map.GetLang(id).cultureName;
    EXPECT_FALSE(culture.IsEmpty()) << id;
    EXPECT_NE(culture[culture.GetLength() - 1], u'-') << id;
    EXPECT_EQ(map.GetLangByCulName(culture) <= id, true) << id;  // the first of its name
  }
  EXPECT_GT(known, Nls::LocaleCount());  // neutral languages come on top
}

TEST(CLangMapTest, BrandAndOldUndefinedLanguageAreIgnored) {
  const int branded = (7 << CLangId::BrandOffset) | 0x0409;
  const int allBrands = (CLangId::UnrealBrand << CLangId::BrandOffset) | 0x0409;
  for (const int lang : {branded, allBrands}) {
    EXPECT_EQ(&Map().GetLang(lang), &Map().GetLang(0x0409));
    EXPECT_EQ(Map().GetAnsiCodepage(lang), 1252);
    EXPECT_EQ(U8(Map().GetWinLang(lang)), "ENU");
    EXPECT_EQ(U8(Map().GetLongLangName(lang)), "English - United States");
    EXPECT_EQ(Map().GetLangMacros(lang), Map().GetLangMacros(0x0409));
  }
  EXPECT_EQ(&Map().GetLang(CLangId::OldUndefined), &Map().GetLang(CLangId::Undefined));
  EXPECT_EQ(U8(Map().GetLangMacros(CLangId::OldUndefined)[u"$(LangId)"]), "7777");
}

TEST(CLangMapTest, UnknownLanguageFallsBackToTheSmallestId) {
  // 0x0001, neutral Arabic, is the smallest id: a neutral entry completed
  // from ar-SA.
  const CLangDescr& first = Map().GetLang(0x0001);
  EXPECT_EQ(U8(first.cultureName), "ar");
  EXPECT_EQ(U8(first.name), "Arabic");
  EXPECT_EQ(first.lcid, 0x0401);
  for (const int unknown : {0x7777, 0x0000, 0x0BAD, -1, 0x8409}) {
    SCOPED_TRACE(unknown);
    EXPECT_EQ(&Map().GetLang(unknown), &first);
    EXPECT_EQ(Map().GetAnsiCodepage(unknown), 0);
    EXPECT_EQ(U8(Map().GetWinLang(unknown)), "");
  }
  EXPECT_EQ(U8(Map().GetLongLangName(0x0000)), "0");
  EXPECT_EQ(U8(Map().GetLongLangName(0x7777)), "887 - (29)");
  // 0x8409 is negative once sign-extended; its primary language is English.
  EXPECT_EQ(U8(Map().GetLongLangName(0x8409)), "English - (33)");
  EXPECT_EQ(U8(Map().GetLongLangName(0x5009)), "English - (20)");
}

TEST(CLangMapTest, CultureNameLookUpIgnoresCase) {
  const struct {
    const char16_t* culture;
    int id;
  } cases[] = {
      {u"en-US", 0x0409},  {u"EN-us", 0x0409}, {u"en", 0x0009},
      {u"ZH-cht", 0x0004}, {u"zh-CN", 0x0804}, {u"no", 0x0014},
      {u"NN-no", 0x0814},  {u"es-ES", 0x040A},  // the traditional sort is listed first
      {u"xx-YY", -1},      {u"en_US", -1},     {u"", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Map().GetLangByCulName(c.culture), c.id) << CString(c.culture).ToUtf8();
  }
}

TEST(CLangMapTest, RightToLeftByPrimaryLanguageOnly) {
  const int brand = 0x12 << CLangId::BrandOffset;
  // 0x7C01: an unknown Arabic; 0x0463, Pashto, is not listed.
  for (int lang :
       {0x0401, 0x040D, 0x0465, 0x0420, 0x0429, 0x045A, 0x0001, 0x3C01, 0x7C01, brand | 0x040D}) {
    EXPECT_TRUE(Map().IsRtlLang(lang)) << std::hex << lang;
  }
  for (int lang : {0x0409, 0x0000, 0x0411, 0x0463, brand | 0x0409}) {
    EXPECT_FALSE(Map().IsRtlLang(lang)) << std::hex << lang;
  }
}

TEST(CLangMapTest, NamesFollowTheGroupRules) {
  const struct {
    int id;
    const char16_t* name;
    const char16_t* longName;
  } cases[] = {
      {0x0009, u"English", u"English"},
      {0x0409, u"United States", u"English - United States"},
      {0x0809, u"United Kingdom", u"English - United Kingdom"},
      {0x0007, u"German", u"German"},
      {0x0807, u"Switzerland", u"German - Switzerland"},
      // Neutral Chinese is Traditional; Simplified is named after zh-CN,
      // which lists itself and renames no member.
      {0x0004, u"Chinese, Traditional", u"Chinese, Traditional"},
      {0x0404, u"Taiwan", u"Chinese, Traditional - Taiwan"},
      {0x0C04, u"Hong Kong SAR", u"Chinese, Traditional - Hong Kong SAR"},
      {0x0804, u"Chinese, Simplified", u"Chinese, Simplified - China"},
      {0x1004, u"", u"Chinese, Simplified - Singapore"},
      // Norwegian variants go by their language names.
      {0x0014, u"Norwegian", u"Norwegian"},
      {0x0414, u"Norwegian Bokm\u00e5l", u"Norwegian - Norwegian Bokm\u00e5l"},
      {0x0814, u"Norwegian Nynorsk", u"Norwegian - Norwegian Nynorsk"},
      // Unicode-only Mongolian comes first and loses the name to mn-MN.
      {0x0050, u"Mongolian", u"Mongolian"},
      {0x0850, u"Mongolian", u"Mongolian - (2)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(U8(Map().GetLang(c.id).name), CString(c.name).ToUtf8());
    EXPECT_EQ(U8(Map().GetLongLangName(c.id)), CString(c.longName).ToUtf8());
  }
}

TEST(CLangMapTest, MacrosOfKnownAndUnknownLanguages) {
  const std::map<CString, CString> enUS = {
      {u"$(CultureName)", u"en-US"},
      {u"$(WinLang)", u"ENU"},
      {u"$(JavaLang)", u"en_US"},
      {u"$(LangId)", u"1033"},
      {u"$(LangLongName)", u"English - United States"},
      {u"$(LangName)", u"United States"},
  };
  EXPECT_EQ(Map().GetLangMacros(0x0409), enUS);

  const std::map<CString, CString> unknown = {
      {u"$(CultureName)", u"ar"},
      {u"$(WinLang)", u""},
      {u"$(JavaLang)", u"ar"},
      {u"$(LangId)", u"-31735"},
      {u"$(LangLongName)", u"English - (33)"},
      {u"$(LangName)", u"Arabic"},
  };
  EXPECT_EQ(Map().GetLangMacros(0x8409), unknown);
  EXPECT_EQ(U8(Map().GetLangMacros(0x0004)[u"$(JavaLang)"]), "zh_CHT");
}

TEST(CLangMapTest, FreshBuildAndCopiesAnswerLikeTheInstance) {
  const FreshLangMap fresh;
  const CLangMap copy(fresh);  // look-ups must point into the copy
  CLangMap assigned(copy);
  assigned = fresh;
  for (const CLangMap* map :
       {static_cast<const CLangMap*>(&fresh), &copy, static_cast<const CLangMap*>(&assigned)}) {
    for (const int id : {0x0001, 0x0409, 0x0804, 0x1004, 0x0014, 0x7777}) {
      EXPECT_EQ(map->GetLangMacros(id), Map().GetLangMacros(id)) << id;
      EXPECT_EQ(map->GetLang(id).lcid, Map().GetLang(id).lcid);
    }
    EXPECT_EQ(map->GetLangByCulName(u"de-at"), 0x0C07);
  }
  EXPECT_NE(&copy.GetLang(0x0409), &fresh.GetLang(0x0409));
}

}  // namespace

// The language map and the national-language data it is built from: known
// locales with their codes, code pages and abbreviations (tables under
// testdata/), the naming rules of the name tree, the fallbacks for unknown
// languages and the macros.
#include "lang/LangMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "items/TransItem.h"
#include "platform/Nls.h"
#include "platform/TestData.h"

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

std::string Info(Nls::LCID lcid, Nls::LCTYPE type) {
  char16_t buffer[100];
  const int written = Nls::GetLocaleInfoW(lcid, type, buffer, 100);
  return written > 0 ? CString(buffer, written - 1).ToUtf8() : "<none>";
}

int Id(const std::string& text) { return static_cast<int>(std::stol(text, nullptr, 0)); }

// Builds its own map, so that a build can be compared with the singleton.
class FreshLangMap : public CLangMap {
 public:
  FreshLangMap() { Init(); }
};

const CLangMap& Map() { return CLangMap::Instance(); }

TEST(NlsTest, WellKnownLocalesHaveWindowsCodePagesAndAbbreviations) {
  const Nls::LCTYPE types[] = {Nls::LOCALE_IDEFAULTANSICODEPAGE, Nls::LOCALE_IDEFAULTCODEPAGE,
                               Nls::LOCALE_SABBREVLANGNAME, Nls::LOCALE_SISO639LANGNAME,
                               Nls::LOCALE_SISO3166CTRYNAME};
  for (const auto& row : testdata::Rows("lang", "locales.tsv")) {
    ASSERT_EQ(row.size(), 6u);
    for (size_t i = 0; i < std::size(types); ++i)
      EXPECT_EQ(Info(Id(row[0]), types[i]), row[i + 1]) << row[0];
  }
  EXPECT_EQ(Info(0x0407, Nls::LOCALE_SNATIVELANGNAME), "Deutsch");
  EXPECT_EQ(Info(0x0C04, Nls::LOCALE_SENGCOUNTRY), "Hong Kong SAR");  // Windows' wording
}

TEST(NlsTest, GetLocaleInfoFollowsTheBufferContract) {
  char16_t buffer[8] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, nullptr, 0), 4);
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, buffer, 3), 0);
  EXPECT_EQ(buffer[0], u'x');
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, buffer, 4), 4);
  EXPECT_EQ(std::u16string(buffer), u"ENU");
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, Nls::LOCALE_SABBREVLANGNAME, buffer, -1), 0);
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0409, 0x7777, buffer, 8), 0);                 // unknown type
  EXPECT_EQ(Nls::GetLocaleInfoW(0x0479, Nls::LOCALE_ILANGUAGE, buffer, 8), 0);  // not listed
  // Ids are four lower-case hex digits; a neutral id keeps its own and
  // answers with its default locale, neutral Chinese as zh-CN.
  EXPECT_EQ(Info(0x0C0A, Nls::LOCALE_ILANGUAGE), "0c0a");
  EXPECT_EQ(Info(0x0009, Nls::LOCALE_ILANGUAGE), "0009");
  EXPECT_EQ(Info(0x0004, Nls::LOCALE_SABBREVLANGNAME), "CHS");
  EXPECT_EQ(Info(0x003C, Nls::LOCALE_SABBREVLANGNAME), "IRE");  // no 0x043C: the first listed
}

using Seen = std::vector<std::pair<Nls::LGRPID, Nls::LCID>>;

// The texts the callbacks are handed are not used by the language map.
Nls::BOOL CollectLocale(Nls::LGRPID group, Nls::LCID locale, char16_t*, Nls::LONG_PTR p) {
  reinterpret_cast<Seen*>(p)->emplace_back(group, locale);
  return Nls::TRUE;
}

Nls::BOOL CollectGroup(Nls::LGRPID group, char16_t*, char16_t*, Nls::DWORD, Nls::LONG_PTR p) {
  reinterpret_cast<Seen*>(p)->emplace_back(group, 0);
  EXPECT_TRUE(Nls::EnumLanguageGroupLocalesW(CollectLocale, group, 0, p));
  return Nls::TRUE;
}

TEST(NlsTest, EnumerationListsSeventeenGroupsAndEveryLocaleOnce) {
  Seen seen;
  ASSERT_TRUE(Nls::EnumSystemLanguageGroupsW(CollectGroup, Nls::LGRPID_SUPPORTED,
                                             reinterpret_cast<Nls::LONG_PTR>(&seen)));
  const auto groups = std::count_if(seen.begin(), seen.end(), [](auto& s) { return !s.second; });
  EXPECT_EQ(groups, 17);
  EXPECT_EQ(seen.size() - groups, static_cast<size_t>(Nls::LocaleCount()));
  EXPECT_NE(std::find(seen.begin(), seen.end(), Seen::value_type{17, 0x042B}), seen.end());
  EXPECT_FALSE(Nls::EnumSystemLanguageGroupsW(CollectGroup, 0, 0));
  EXPECT_FALSE(Nls::EnumSystemLanguageGroupsW(nullptr, Nls::LGRPID_SUPPORTED, 0));
  EXPECT_FALSE(Nls::EnumLanguageGroupLocalesW(CollectLocale, 18, 0, 0));
  EXPECT_FALSE(Nls::EnumLanguageGroupLocalesW(CollectLocale, 1, 1, 0));
}

TEST(CLangMapTest, KnownLanguagesFromTheTable) {
  for (const auto& row : testdata::Rows("lang", "languages.tsv")) {
    ASSERT_EQ(row.size(), 8u);
    const int id = Id(row[0]);
    const CLangDescr& lang = Map().GetLang(id);
    const std::string got[] = {U8(lang.cultureName),
                               U8(Map().GetWinLang(id)),
                               std::to_string(lang.ansiCodepage),
                               std::to_string(lang.languageGroup),
                               std::to_string(lang.lcid),
                               U8(lang.name),
                               U8(Map().GetLongLangName(id))};
    for (size_t i = 0; i < std::size(got); ++i) {
      if (row[i + 1] != "*")
        EXPECT_EQ(got[i], i == 4 ? std::to_string(Id(row[5])) : row[i + 1]) << row[0];
    }
    if (row[3] != "*") EXPECT_EQ(Map().GetAnsiCodepage(id), lang.ansiCodepage);
  }
  for (const auto& row : testdata::Rows("lang", "cultures.tsv"))
    EXPECT_EQ(Map().GetLangByCulName(CString::FromUtf8(row[0])), Id(row[1])) << row[0];
}

TEST(CLangMapTest, BrandAndOldUndefinedLanguageAreIgnored) {
  const int branded = (7 << CLangId::BrandOffset) | 0x0409;
  const int allBrands = (CLangId::UnrealBrand << CLangId::BrandOffset) | 0x0409;
  for (const int lang : {branded, allBrands}) {
    EXPECT_EQ(&Map().GetLang(lang), &Map().GetLang(0x0409));
    EXPECT_EQ(Map().GetAnsiCodepage(lang), 1252);
    EXPECT_EQ(U8(Map().GetWinLang(lang)), "ENU");
    EXPECT_EQ(U8(Map().GetLongLangName(lang)), "English - United States");
  }
  EXPECT_EQ(&Map().GetLang(CLangId::OldUndefined), &Map().GetLang(CLangId::Undefined));
  EXPECT_EQ(U8(Map().GetLangMacros(CLangId::OldUndefined)[u"$(LangId)"]), "7777");
}

TEST(CLangMapTest, UnknownLanguageFallsBackToTheSmallestId) {
  // 0x0001, neutral Arabic, is the smallest id: a neutral entry completed
  // from ar-SA.
  const CLangDescr& first = Map().GetLang(0x0001);
  EXPECT_EQ(U8(first.cultureName), "ar");
  EXPECT_EQ(first.lcid, 0x0401);
  for (const int unknown : {0x7777, 0x0000, 0x0BAD, -1, 0x8409}) {
    EXPECT_EQ(&Map().GetLang(unknown), &first) << unknown;
    EXPECT_EQ(Map().GetAnsiCodepage(unknown), 0) << unknown;
    EXPECT_EQ(U8(Map().GetWinLang(unknown)), "") << unknown;
  }
  EXPECT_EQ(U8(Map().GetLongLangName(0x0000)), "0");
  EXPECT_EQ(U8(Map().GetLongLangName(0x7777)), "887 - (29)");
  // 0x8409 is negative once sign-extended; its primary language is English.
  EXPECT_EQ(U8(Map().GetLongLangName(0x8409)), "English - (33)");
  EXPECT_EQ(U8(Map().GetLangMacros(0x8409)[u"$(LangId)"]), "-31735");
}

TEST(CLangMapTest, RightToLeftByPrimaryLanguageOnly) {
  const int brand = 0x12 << CLangId::BrandOffset;
  // 0x7C01: an unknown Arabic; 0x0463, Pashto, is not listed.
  for (int lang : {0x0401, 0x040D, 0x0465, 0x0420, 0x0429, 0x045A, 0x7C01, brand | 0x040D})
    EXPECT_TRUE(Map().IsRtlLang(lang)) << std::hex << lang;
  for (int lang : {0x0409, 0x0000, 0x0463, brand | 0x0409})
    EXPECT_FALSE(Map().IsRtlLang(lang)) << std::hex << lang;
}

TEST(CLangMapTest, FreshBuildAndCopiesAnswerLikeTheInstance) {
  const FreshLangMap fresh;
  const CLangMap copy(fresh);  // look-ups must point into the copy
  CLangMap assigned(copy);
  assigned = fresh;
  for (const CLangMap* map :
       {static_cast<const CLangMap*>(&fresh), &copy, static_cast<const CLangMap*>(&assigned)}) {
    for (const int id : {0x0001, 0x0409, 0x0804, 0x1004, 0x0014, 0x7777})
      EXPECT_EQ(map->GetLangMacros(id), Map().GetLangMacros(id)) << id;
    EXPECT_EQ(map->GetLangByCulName(u"de-at"), 0x0C07);
  }
  EXPECT_NE(&copy.GetLang(0x0409), &fresh.GetLang(0x0409));
}

}  // namespace

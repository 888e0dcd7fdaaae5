// The language and brand operations of the project settings: the parts of
// the language selection, its read-modify-write setters, branded language
// names, the output languages of every brand and the native language of a
// branded language.
#include <gtest/gtest.h>

#include <memory>

#include "ConfigTestUtil.h"
#include "config/PrjConfig.h"

namespace {

constexpr int kEnglish = 0x0409, kGerman = 0x0407, kFrench = 0x040C, kJapanese = 0x0411;
constexpr int kBrand1 = 1 << CLangId::BrandOffset, kBrand2 = 2 << CLangId::BrandOffset;

// A project translated from English into German and French.
struct Project : cfgtest::Tree {
  Project() {
    CPrjLangs langs(kEnglish);
    langs.setSelectedLangs({kGerman, kFrench});
    CPrjConfig::SetPrjLangs(*root, langs);
  }
};

// The selection rules are CPrjLangs' own (prjlangs_test); here: each part
// read from the stored selection, and a copy stored only when a rule lets
// the change through.
TEST(PrjConfigLangs, SettersStoreACopyOnlyWhenTheRuleChangesIt) {
  Project p;
  EXPECT_EQ(CPrjConfig::GetNative(*p.file), kEnglish);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(*p.file), (CLangSet{kGerman, kFrench}));
  CPrjConfig::SetTarget(*p.file, kJapanese);  // not selected: rejected
  CPrjConfig::SetSecondary(*p.file, kJapanese);
  CPrjConfig::SetSelectedLangs(*p.file, {kEnglish, kJapanese});  // holds the native language
  CPrjConfig::SetTarget(*p.file, kGerman);                       // already the target
  CPrjConfig::ResetSecondary(*p.file);                           // none to clear
  EXPECT_FALSE(CPrjConfig::HasPrjLangs(*p.file));

  CPrjConfig::SetTarget(*p.file, kFrench);
  EXPECT_EQ(CPrjConfig::GetTarget(*p.file), kFrench);
  EXPECT_EQ(CPrjConfig::GetTarget(*p.root), kGerman);
  CPrjConfig::AddSelectedLang(*p.file, kJapanese);
  CPrjConfig::SetSecondary(*p.file, kJapanese);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(*p.file), (CLangSet{kGerman, kFrench, kJapanese}));
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.file), kJapanese);

  CPrjConfig::SetSecondary(*p.root, kFrench);
  CPrjConfig::ResetSecondary(*p.sibling);
  EXPECT_TRUE(CPrjConfig::HasPrjLangs(*p.sibling));
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.sibling), 7777);
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.root), kFrench);
}

const CIntStrMap kTwoBrands{{0, u"Full"}, {1, u"Lite"}};

TEST(PrjConfigBrands, BrandedLangNames) {
  const struct {
    CIntStrMap brands;
    int lang;
    const char* name;
  } cases[] = {
      {CIntStrMap{{0, u"SourceBrand"}}, kEnglish | kBrand1, "English - United States"},
      {kTwoBrands, kEnglish, "Full: English - United States"},
      {kTwoBrands, kEnglish | kBrand1, "Lite: English - United States"},
      {kTwoBrands, kEnglish | kBrand2, "[2] English - United States"},
  };
  for (const auto& c : cases) {
    Project p;
    CPrjConfig::SetBrandMap(*p.root, c.brands);
    EXPECT_EQ(CPrjConfig::GetBrandedLangName(*p.file, c.lang).ToUtf8(), c.name);
  }
}

TEST(PrjConfigBrands, AllOutputLangs) {
  const unsigned char all = CLangId::UnrealBrand;
  const struct {
    CIntStrMap brands;
    unsigned char brand;
    CLangSet langs;
  } cases[] = {
      // One brand: the selected languages only.
      {CIntStrMap{{0, u"Full"}}, all, {kGerman}},
      {CIntStrMap{{0, u"Full"}}, 0, {kGerman}},
      {CIntStrMap{{0, u"Full"}}, 1, {}},
      {kTwoBrands, all, {kGerman, kGerman | kBrand1, kEnglish | kBrand1}},
      {kTwoBrands, 1, {kGerman | kBrand1, kEnglish | kBrand1}},
      {kTwoBrands, 0, {kGerman}},
      {kTwoBrands, 2, {}},
      {CIntStrMap{}, all, {}},
  };
  for (const auto& c : cases) {
    cfgtest::Tree t;
    CPrjLangs langs(kEnglish);
    langs.setSelectedLangs({kGerman});
    CPrjConfig::SetPrjLangs(*t.root, langs);
    CPrjConfig::SetBrandMap(*t.root, c.brands);
    EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*t.file, c.brand), c.langs) << int{c.brand};
  }
}

TEST(PrjConfigBrands, BrandNative) {
  struct Case {
    int lang, native, expected;
  };
  for (const Case& c : {
           Case{kEnglish | kBrand1, kEnglish, kEnglish},            // the native itself
           Case{kGerman | kBrand1, kEnglish, kEnglish | kBrand1},   // native in lang's brand
           Case{kGerman, kEnglish, kEnglish},                       //
           Case{kEnglish, kEnglish | kBrand2, kEnglish | kBrand2},  // native as given
           Case{kGerman | kBrand2, kEnglish | kBrand1, kEnglish | kBrand2},
       }) {
    SCOPED_TRACE(c.lang);
    EXPECT_EQ(CPrjConfig::GetBrandNative(c.lang, c.native), c.expected);
  }
}

}  // namespace

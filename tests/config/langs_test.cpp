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

TEST(PrjConfigLangs, PartsOfTheSelectionAndTheirDefaults) {
  CResItem lone;
  EXPECT_EQ(CPrjConfig::GetNative(lone), 7777);
  EXPECT_EQ(CPrjConfig::GetTarget(lone), 7777);
  EXPECT_EQ(CPrjConfig::GetSecondary(lone), 7777);
  EXPECT_TRUE(CPrjConfig::GetSelectedLangs(lone).empty());

  Project p;
  EXPECT_EQ(CPrjConfig::GetNative(*p.file), kEnglish);
  EXPECT_EQ(CPrjConfig::GetTarget(*p.file), kGerman);
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.file), 7777);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(*p.file), (CLangSet{kGerman, kFrench}));
}

TEST(PrjConfigLangs, SettersStoreACopyOnlyWhenTheRuleChangesIt) {
  Project p;
  CPrjConfig::SetTarget(*p.file, kJapanese);  // not selected: rejected
  CPrjConfig::SetSecondary(*p.file, kJapanese);
  CPrjConfig::SetSelectedLangs(*p.file, {kEnglish, kJapanese});  // holds the native language
  CPrjConfig::SetTarget(*p.file, kGerman);                       // already the target
  EXPECT_FALSE(CPrjConfig::HasPrjLangs(*p.file));

  CPrjConfig::SetTarget(*p.file, kFrench);
  EXPECT_TRUE(CPrjConfig::HasPrjLangs(*p.file));
  EXPECT_EQ(CPrjConfig::GetTarget(*p.file), kFrench);
  EXPECT_EQ(CPrjConfig::GetTarget(*p.root), kGerman);

  CPrjConfig::AddSelectedLang(*p.file, kJapanese);
  CPrjConfig::SetSecondary(*p.file, kJapanese);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(*p.file), (CLangSet{kGerman, kFrench, kJapanese}));
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.file), kJapanese);

  CPrjConfig::SetSelectedLangs(*p.file, {kGerman});
  EXPECT_EQ(CPrjConfig::GetTarget(*p.file), kGerman);
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.file), 7777);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(*p.root), (CLangSet{kGerman, kFrench}));
}

TEST(PrjConfigLangs, ResetSecondaryStoresASelectionWithoutOne) {
  Project p;
  CPrjConfig::ResetSecondary(*p.file);  // none to clear: nothing stored
  EXPECT_FALSE(CPrjConfig::HasPrjLangs(*p.file));

  CPrjConfig::SetSecondary(*p.root, kFrench);
  CPrjConfig::ResetSecondary(*p.file);
  EXPECT_TRUE(CPrjConfig::HasPrjLangs(*p.file));
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.file), 7777);
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.root), kFrench);

  CPrjConfig::ResetSecondary(*p.root);
  EXPECT_TRUE(CPrjConfig::HasPrjLangs(*p.root));
  EXPECT_EQ(CPrjConfig::GetSecondary(*p.root), 7777);
}

TEST(PrjConfigBrands, BrandedLangNames) {
  Project p;
  struct Case {
    int lang;
    const char* single;  // with the built-in brand map
    const char* two;     // with brands 0 "Full" and 1 "Lite"
  };
  const Case cases[] = {
      {kEnglish, "English - United States", "Full: English - United States"},
      {kEnglish | kBrand1, "English - United States", "Lite: English - United States"},
      {kEnglish | kBrand2, "English - United States", "[2] English - United States"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lang);
    EXPECT_EQ(CPrjConfig::GetBrandedLangName(*p.file, c.lang).ToUtf8(), c.single);
  }
  CPrjConfig::SetBrandMap(*p.root, CIntStrMap{{0, u"Full"}, {1, u"Lite"}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lang);
    EXPECT_EQ(CPrjConfig::GetBrandedLangName(*p.file, c.lang).ToUtf8(), c.two);
  }
}

TEST(PrjConfigBrands, AllOutputLangs) {
  Project p;
  CPrjLangs langs(kEnglish);
  langs.setSelectedLangs({kGerman});
  CPrjConfig::SetPrjLangs(*p.root, langs);
  const unsigned char all = CLangId::UnrealBrand;
  // One brand: the selected languages only.
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*p.file, all), (CLangSet{kGerman}));
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*p.file, 0), (CLangSet{kGerman}));
  EXPECT_TRUE(CPrjConfig::GetAllOutputLangs(*p.file, 1).empty());

  CPrjConfig::SetBrandMap(*p.root, CIntStrMap{{0, u"Full"}, {1, u"Lite"}});
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*p.file, all),
            (CLangSet{kGerman, kGerman | kBrand1, kEnglish | kBrand1}));
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*p.file, 1),
            (CLangSet{kGerman | kBrand1, kEnglish | kBrand1}));
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*p.file, 0), (CLangSet{kGerman}));
  EXPECT_TRUE(CPrjConfig::GetAllOutputLangs(*p.file, 2).empty());

  CPrjConfig::SetBrandMap(*p.file, CIntStrMap{});
  EXPECT_TRUE(CPrjConfig::GetAllOutputLangs(*p.file, all).empty());
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

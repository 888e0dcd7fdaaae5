// The language and brand operations of the project settings: the parts of
// the language selection, its read-modify-write setters, branded language
// names, the output languages of every brand and the native language of a
// branded language.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/PrjConfig.h"
#include "platform/TestData.h"

namespace {

constexpr int kEnglish = 0x0409, kGerman = 0x0407, kFrench = 0x040C, kJapanese = 0x0411;

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
}

// "0x0407,0x10407" and "Full,Lite" (brands 0 and 1): the cells of the brand
// tables.
int Num(const std::string& text) { return static_cast<int>(std::stol(text, nullptr, 0)); }

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
  return parts;
}

CIntStrMap Brands(const std::string& text) {
  CIntStrMap brands;
  for (const std::string& name : Split(text))
    brands.emplace(brands.size(), CString::FromUtf8(name));
  return brands;
}

// Rows: brand map, language, branded name.
TEST(PrjConfigBrands, BrandedLangNames) {
  for (const auto& row : testdata::Rows("config", "branded_names.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    Project p;
    CPrjConfig::SetBrandMap(*p.root, Brands(row[0]));
    EXPECT_EQ(CPrjConfig::GetBrandedLangName(*p.file, Num(row[1])).ToUtf8(), row[2]);
  }
}

// Rows: brand map, brand, output languages of the project.
TEST(PrjConfigBrands, AllOutputLangs) {
  for (const auto& row : testdata::Rows("config", "output_langs.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    Project p;
    CPrjConfig::SetBrandMap(*p.root, Brands(row[0]));
    CLangSet expected;
    for (const std::string& lang : Split(row[2])) expected.insert(Num(lang));
    EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*p.file, static_cast<unsigned char>(Num(row[1]))),
              expected)
        << row[0] << " / " << row[1];
  }
}

// Rows: language, native language, the native language of that brand.
TEST(PrjConfigBrands, BrandNative) {
  for (const auto& row : testdata::Rows("config", "brand_native.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(CPrjConfig::GetBrandNative(Num(row[0]), Num(row[1])), Num(row[2])) << row[0];
  }
}

}  // namespace

// Checks, word counts and pseudo-translation: each check kind on positive and
// negative pairs, word counts across scripts, and the spans pseudo-translation
// must keep.
#include <gtest/gtest.h>

#include <string>

#include "ExchangeTestUtil.h"
#include "exchange/Checks.h"
#include "exchange/Pseudo.h"
#include "exchange/Stats.h"
#include "exchange/TextCodes.h"
#include "platform/TestData.h"

namespace {

using namespace exchange_test;

std::string Kinds(const std::vector<CTextFinding>& found) {
  std::string out;
  for (const CTextFinding& f : found)
    out += (out.empty() ? "" : ",") + std::string(CheckKindName(f.kind));
  return out;
}

// A table cell: UTF-8, with "\u240A" standing for the line feed a row cannot hold.
CString Cell(std::string text) {
  for (size_t at; (at = text.find("\u240A")) != std::string::npos;) text.replace(at, 3, "\n");
  return CString::FromUtf8(text);
}

TEST(Checks, EachKindOnPositiveAndNegativePairs) {
  for (const auto& row : testdata::Rows("exchange", "check_pairs.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    std::vector<CTextFinding> found;
    CheckTexts(Cell(row[0]).view(), Cell(row[1]).view(), true, found);
    EXPECT_EQ(Kinds(found), row[2]) << row[0];
  }
  std::vector<CTextFinding> found;
  CheckTexts(u"Text", u"", false, found);
  EXPECT_TRUE(found.empty()) << "untranslated is not empty";
}

// A dialog whose translation gives two controls one key; a clash the
// source already has is left alone.
TEST(Checks, SiblingsSharingAnAcceleratorInTheTranslation) {
  auto root = Project();
  CResItem* dialog = root->GetResItems()[0]->GetResItems()[0];
  Add(*dialog, 6, u"#3", u"&Save", u"&Speichern");
  Add(*dialog, 6, u"#4", u"&Print", u"&Seite drucken");
  Add(*dialog, 6, u"#5", u"&Search", u"&Suchen");
  Add(*root->GetResItems()[1], 6, u"#6", u"&Print", u"&Sichern");
  std::vector<std::string> found;
  CheckProject(*root, CUnitLangs{kEn, kDe}, [&](const CFinding& f) {
    if (f.kind == CheckKind::kAcceleratorConflict) found.push_back(CString(f.id).ToUtf8());
    return true;
  });
  EXPECT_EQ(found, std::vector<std::string>{"#2:@app.exe/#5:#101/#6:#4"});
}

TEST(Stats, WordsAcrossScriptsNumbersAndPunctuation) {
  for (const auto& row : testdata::Rows("exchange", "word_counts.tsv")) {
    ASSERT_EQ(row.size(), 4u);
    CWordCounter counter(std::stoi(row[0], nullptr, 16));
    const CTextCount count = counter.Count(Cell(row[1]).view());
    EXPECT_EQ(count.words, std::stoull(row[2])) << row[1];
    EXPECT_EQ(count.characters, std::stoull(row[3])) << row[1];
  }
}

// Every code of the source comes out exactly, in order; ends are kept; the
// checks find nothing; letterless texts stay as they are.
TEST(Pseudo, KeepsEveryProtectedSpan) {
  const char16_t* const sources[] = {
      u"  &Open %s...\n",
      u"Copy {0,-8:N2} of %1!d! (\\t)\t%%",
      u"File \\\\server:",
      u"Error %1!d!",
      u"&Open...(&O)",
      u"%d / {0}",
      u"  ",
      u"Save?",
  };
  for (const char16_t* source : sources) {
    const CString pseudo = PseudoTranslate(source, 30);
    const std::u16string_view s(source), p = pseudo.view();
    std::vector<CTextCode> a, b;
    ScanCodes(s, a);
    ScanCodes(p, b);
    ASSERT_EQ(a.size(), b.size()) << pseudo.ToUtf8();
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(s.substr(a[i].begin, a[i].length), p.substr(b[i].begin, b[i].length));
    }
    std::vector<CTextFinding> found;
    CheckTexts(s, p, true, found);
    EXPECT_EQ(Kinds(found), "") << pseudo.ToUtf8();
    if (!HasLetters(s, a)) {
      EXPECT_EQ(p, s);
      continue;
    }
    EXPECT_NE(p.find(u'['), std::u16string_view::npos);
    EXPECT_GE(p.size() * 10, s.size() * 13) << pseudo.ToUtf8();
  }
  EXPECT_EQ(PseudoTranslate(u"Ab c.", 100).ToUtf8(), "[\u00c5\u0180 \u00e7~~~].");
}

}  // namespace

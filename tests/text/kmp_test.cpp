// KMP search against a naive search on generated texts (overlaps, starts
// outside the text, empty texts), the whole-word rule at text edges and beside
// ICU punctuation and white space, and the table.
#include "text/KMP.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

int Find(const CString& text, const CString& pattern, int start, bool wholeWord) {
  return KMP::FindPos(text, pattern, KMP::BuildTable(pattern), start, wholeWord);
}

// Word boundaries within the alphabet of the generated texts.
bool IsBoundary(char16_t c) { return c == u' ' || c == u'.' || c == u'\t'; }

int NaiveFind(const std::u16string& text, const std::u16string& pattern, int start,
              bool wholeWord) {
  const int n = static_cast<int>(text.size());
  const int m = static_cast<int>(pattern.size());
  for (int p = start < 0 ? 0 : start; p + m <= n; ++p) {
    if (text.compare(static_cast<size_t>(p), static_cast<size_t>(m), pattern) != 0) continue;
    if (!wholeWord) return p;
    const bool before = p == 0 || IsBoundary(text[static_cast<size_t>(p - 1)]);
    const bool after = p + m == n || IsBoundary(text[static_cast<size_t>(p + m)]);
    if (before && after) return p;
  }
  return -1;
}

TEST(KMP, TableIsTheRefinedFailureFunction) {
  EXPECT_EQ(KMP::BuildTable(u""), (std::vector<int>{-1}));
  EXPECT_EQ(KMP::BuildTable(u"a"), (std::vector<int>{-1, 0}));
  EXPECT_EQ(KMP::BuildTable(u"aa"), (std::vector<int>{-1, -1, 1}));
  EXPECT_EQ(KMP::BuildTable(u"abab"), (std::vector<int>{-1, 0, -1, 0, 2}));
  EXPECT_EQ(KMP::BuildTable(u"abcab"), (std::vector<int>{-1, 0, 0, -1, 0, 2}));
  EXPECT_EQ(KMP::BuildTable(u"aab"), (std::vector<int>{-1, -1, 1, 0}));
}

TEST(KMP, FindsWhatANaiveSearchFinds) {
  std::mt19937 random(20240229);
  const char16_t alphabet[] = {u'a', u'b', u' ', u'.'};
  std::uniform_int_distribution<int> letter(0, 3);
  std::uniform_int_distribution<int> onlyLetters(0, 1);
  auto generate = [&](int length, bool lettersOnly) {
    std::u16string s;
    for (int i = 0; i < length; ++i) {
      s += alphabet[static_cast<size_t>(lettersOnly ? onlyLetters(random) : letter(random))];
    }
    return s;
  };
  int matches = 0;
  for (int round = 0; round < 4000; ++round) {
    const std::u16string text = generate(round % 40, false);
    const std::u16string pattern = generate(1 + round % 5, round % 3 == 0);
    const CString t(text);
    const CString p(pattern);
    const std::vector<int> table = KMP::BuildTable(p);
    for (int start = -1; start <= static_cast<int>(text.size()) + 1; ++start) {
      for (const bool wholeWord : {false, true}) {
        const int expected = NaiveFind(text, pattern, start, wholeWord);
        ASSERT_EQ(KMP::FindPos(t, p, table, start, wholeWord), expected)
            << t.ToUtf8() << " / " << p.ToUtf8() << " from " << start << " whole " << wholeWord;
        matches += expected >= 0;
      }
    }
  }
  EXPECT_GT(matches, 10000);  // the generator really produces matches
}

// Edges, overlaps and starts are compared with the naive search above; these
// are the character classes outside its alphabet.
TEST(KMP, WholeWordsNeedPunctuationOrWhiteSpace) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"(cat)", true},           {u"\u00ABcat\u00BB", true},  // guillemets are punctuation
      {u"_cat_", true},                                        // so is the connector underscore
      {u"\u3000cat\u2028", true},                              // ideographic space, line separator
      {u"\tcat\n", true},         {u"\u00A0cat", false},  // a no-break space is not white space
      {u"$cat", false},                                   // symbols are not punctuation
      {u"cat+", false},           {u"1cat", false},           {u"\u00E9cat", false},
  };
  for (const auto& [text, word] : cases) {
    const int at = static_cast<int>(text.find(u"cat"));
    EXPECT_EQ(Find(text, u"cat", 0, true), word ? at : -1) << CString(text).ToUtf8();
  }
}

// Starts outside the text are covered by the naive comparison above.
TEST(KMP, EmptyPatternOrForeignTableFindsNothing) {
  EXPECT_EQ(Find(u"abc", u"", 0, false), -1);
  EXPECT_EQ(KMP::FindPos(u"abc", u"b", KMP::BuildTable(u"bb"), 0, false), -1);
}

}  // namespace

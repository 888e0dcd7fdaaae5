// KMP search against a naive search on generated texts (overlaps, starts
// outside the text, empty patterns, whole words at text edges), and the
// whole-word rule beside ICU punctuation and white space.
#include "text/KMP.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Word boundaries within the alphabet of the generated texts.
bool IsBoundary(char16_t c) { return c == u' ' || c == u'.'; }

int NaiveFind(const std::u16string& text, const std::u16string& pattern, int start, bool word) {
  const int n = static_cast<int>(text.size()), m = static_cast<int>(pattern.size());
  for (int p = start < 0 ? 0 : start; m > 0 && p + m <= n; ++p) {
    if (text.compare(static_cast<size_t>(p), static_cast<size_t>(m), pattern) != 0) continue;
    if (!word || ((p == 0 || IsBoundary(text[static_cast<size_t>(p - 1)])) &&
                  (p + m == n || IsBoundary(text[static_cast<size_t>(p + m)])))) {
      return p;
    }
  }
  return -1;
}

TEST(KMP, FindsWhatANaiveSearchFinds) {
  std::mt19937 random(20240229);
  const auto generate = [&](int length, int letters) {
    std::u16string s;
    while (length-- > 0) s += u"ab ."[random() % static_cast<unsigned>(letters)];
    return s;
  };
  int matches = 0;
  for (int round = 0; round < 4000; ++round) {
    const std::u16string text = generate(round % 40, 4);
    const std::u16string pattern = generate(round % 6, round % 3 == 0 ? 2 : 4);
    const CString t(text), p(pattern);
    const std::vector<int> table = KMP::BuildTable(p);
    for (int start = -1; start <= static_cast<int>(text.size()) + 1; ++start) {
      for (const bool word : {false, true}) {
        const int expected = NaiveFind(text, pattern, start, word);
        ASSERT_EQ(KMP::FindPos(t, p, table, start, word), expected)
            << t.ToUtf8() << " / " << p.ToUtf8() << " from " << start << " word " << word;
        matches += expected >= 0;
      }
    }
  }
  EXPECT_GT(matches, 10000);  // the generator really produces matches
}

TEST(KMP, WholeWordsNeedPunctuationOrWhiteSpace) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"(cat)", true},           {u"\u00ABcat\u00BB", true}, {u"_cat_", true}, {u"\tcat\n", true},
      {u"\u3000cat\u2028", true}, {u"\u00A0cat", false},      {u"$cat", false}, {u"cat+", false},
      {u"1cat", false},           {u"\u00E9cat", false},
  };
  for (const auto& [text, word] : cases) {
    const int at = static_cast<int>(text.find(u"cat"));
    EXPECT_EQ(KMP::FindPos(text, u"cat", KMP::BuildTable(u"cat"), 0, true), word ? at : -1)
        << CString(text).ToUtf8();
  }
  EXPECT_EQ(KMP::FindPos(u"abc", u"b", KMP::BuildTable(u"bb"), 0, false), -1);  // foreign table
}

}  // namespace

// Macro expansion: single and repeated passes, case and key order, texts
// that match no key, the bound on maps that reintroduce a key, and merging.
#include "services/Macros.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Map = MacrosUtil::MacrosMap;

std::string Apply(const char16_t* text, const Map& macros) {
  return MacrosUtil::ApplyMacrosMap(text, macros).ToUtf8();
}

struct ExpandCase {
  const char* what;
  const char16_t* text;
  Map macros;
  const char* expected;
};

TEST(MacrosUtilTest, ExpandsPatterns) {
  const std::vector<ExpandCase> cases = {
      {"empty map", u"$(LangName)\\out", {}, "$(LangName)\\out"},
      {"every occurrence", u"$(L)-$(L)$(L)", {{u"$(L)", u"de"}}, "de-dede"},
      {"case-sensitive", u"$(langname)\\out", {{u"$(LangName)", u"German"}}, "$(langname)\\out"},
      {"unknown macro stays", u"$(O)\\$(L)", {{u"$(L)", u"de"}}, "$(O)\\de"},
      {"unclosed macro stays", u"$(LangName", {{u"$(LangName)", u"German"}}, "$(LangName"},
      {"key without $()", u"A", {{u"A", u"$(B)"}, {u"$(B)", u"x"}}, "x"},
      {"non-overlapping, left to right", u"aaa", {{u"aa", u"b"}}, "ba"},
      // $(A) sorts before $(B), so its value is expanded within the same pass.
      {"chain in key order", u"$(A)", {{u"$(A)", u"$(B)"}, {u"$(B)", u"c"}}, "c"},
      // Each pass resolves one level here: $(B), then $(A).
      {"chain against key order", u"$(B)", {{u"$(A)", u"a"}, {u"$(B)", u"$(A)"}}, "a"},
      // The value and the text after it form a key only together.
      {"key formed across a junction", u"$(P)B)", {{u"$(P)", u"$("}, {u"$(B)", u"b"}}, "b"},
      {"empty key is ignored", u"ab", {{u"", u"x"}, {u"a", u"y"}}, "yb"},
      // Passes go on until one replaces nothing, however many that takes.
      {"shrinks to a fixed point", u"aaaa", {{u"aa", u"a"}}, "a"},
      {"one unit per pass", u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", {{u"ab", u"b"}}, "b"},
  };
  for (const ExpandCase& c : cases) EXPECT_EQ(Apply(c.text, c.macros), c.expected) << c.what;
}

// Maps that reintroduce a key end, and their texts stay bounded; unbounded,
// these would grow, double, swap or explode for ever.
TEST(MacrosUtilTest, MapsThatNeverTerminateAreBounded) {
  const std::vector<Map> maps = {
      {{u"$(A)", u"x$(A)"}},
      {{u"$(A)", u"$(A)$(A)"}},
      {{u"$(P)", u"$(Q)"}, {u"$(Q)", u"$(P)"}},
      {{u"$", std::u16string(5000, u'$').c_str()}},
  };
  for (const Map& macros : maps) {
    EXPECT_LE(MacrosUtil::ApplyMacrosMap(u"$(A)$(P)", macros).GetLength(), (1 << 20) + 8);
  }
}

TEST(MacrosUtilTest, MergeLetsOverridesWin) {
  const Map base = {{u"K", u"1"}, {u"L", u"2"}};
  EXPECT_EQ(MacrosUtil::Merge(base, {{u"K", u"3"}}), (Map{{u"K", u"3"}, {u"L", u"2"}}));
  EXPECT_EQ(MacrosUtil::Merge(base, {{u"k", u"5"}}),
            (Map{{u"K", u"1"}, {u"L", u"2"}, {u"k", u"5"}}));
  // An empty value overrides too.
  EXPECT_EQ(MacrosUtil::Merge(base, {{u"L", u""}}), (Map{{u"K", u"1"}, {u"L", u""}}));
}

}  // namespace

// Macro expansion: single and repeated passes, case and key order, texts
// that match no key, the bound on maps that reintroduce a key, and merging.
#include "services/Macros.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/TestData.h"

namespace {

using Map = MacrosUtil::MacrosMap;

std::string Apply(const CString& text, const Map& macros) {
  return MacrosUtil::ApplyMacrosMap(text, macros).ToUtf8();
}

// Rows: text, expansion, then key and value cells of the map.
TEST(MacrosUtilTest, ExpandsPatterns) {
  for (const auto& row : testdata::Rows("services", "macros.tsv")) {
    ASSERT_EQ(row.size() % 2, 0u);
    Map macros;
    for (size_t i = 2; i < row.size(); i += 2)
      macros[CString::FromUtf8(row[i])] = CString::FromUtf8(row[i + 1]);
    EXPECT_EQ(Apply(CString::FromUtf8(row[0]), macros), row[1]) << row[0];
  }
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

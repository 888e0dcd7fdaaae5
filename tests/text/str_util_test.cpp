// CStrUtil: ICU simple case mapping of single code units, all or one index.
#include <gtest/gtest.h>

#include <string>

#include "text/StrUtil.h"

namespace {

TEST(CStrUtil, MapsEveryCodeUnitOnItsOwn) {
  const struct {
    std::u16string text;
    int index;  // -1: all
    std::u16string lower;
    std::u16string upper;
  } cases[] = {
      {u"MiXeD 123.", -1, u"mixed 123.", u"MIXED 123."},
      {u"\u00C4\u00E4\u03A3\u03C3", -1, u"\u00E4\u00E4\u03C3\u03C3", u"\u00C4\u00C4\u03A3\u03A3"},
      {u"\u0130\u0131", -1, u"i\u0131", u"\u0130I"},         // dotted and dotless I, one unit each
      {u"\u212A", -1, u"k", u"\u212A"},                      // the Kelvin sign lowers to k
      {u"stra\u00DFe", -1, u"stra\u00DFe", u"STRA\u00DFE"},  // no one-unit upper case for sharp s
      {u"\U00010400\U00010428", -1, u"\U00010400\U00010428", u"\U00010400\U00010428"},  // halves
      {u"aB cD", 1, u"ab cD", u"aB cD"},
      {u"aB cD", 0, u"aB cD", u"AB cD"},
      {u"aB", 2, u"aB", u"aB"},  // outside: nothing changes
      {u"aB", -2, u"aB", u"aB"},
      {u"", 0, u"", u""},
  };
  for (const auto& c : cases) {
    CString lower(c.text), upper(c.text);
    CStrUtil::MakeLower(lower, c.index);
    CStrUtil::MakeUpper(upper, c.index);
    EXPECT_EQ(lower.str(), c.lower) << c.index;
    EXPECT_EQ(upper.str(), c.upper) << c.index;
  }
}

}  // namespace

// CStrUtil: ICU simple case mapping of single code units, all or one index.
#include <gtest/gtest.h>

#include <string>

#include "text/StrUtil.h"

namespace {

TEST(CStrUtil, MapsEveryCodeUnitOnItsOwn) {
  const struct {
    std::u16string text;
    std::u16string lower;
    std::u16string upper;
  } cases[] = {
      {u"", u"", u""},
      {u"MiXeD 123.", u"mixed 123.", u"MIXED 123."},
      {u"\u00C4\u00E4\u03A3\u03C3", u"\u00E4\u00E4\u03C3\u03C3", u"\u00C4\u00C4\u03A3\u03A3"},
      {u"\u0130\u0131", u"i\u0131", u"\u0130I"},         // dotted and dotless I, one unit each
      {u"\u212A", u"k", u"\u212A"},                      // the Kelvin sign lowers to k
      {u"stra\u00DFe", u"stra\u00DFe", u"STRA\u00DFE"},  // no one-unit upper case for sharp s
      {u"\U00010400\U00010428", u"\U00010400\U00010428", u"\U00010400\U00010428"},  // halves
  };
  for (const auto& c : cases) {
    CString lower(c.text);
    CStrUtil::MakeLower(lower, -1);
    EXPECT_EQ(lower.str(), c.lower);
    CString upper(c.text);
    CStrUtil::MakeUpper(upper, -1);
    EXPECT_EQ(upper.str(), c.upper);
  }
}

TEST(CStrUtil, AnIndexMapsOnlyThatCodeUnit) {
  CString s(u"abc ABC");
  CStrUtil::MakeUpper(s, 0);
  EXPECT_EQ(s.str(), u"Abc ABC");
  CStrUtil::MakeUpper(s, 2);
  EXPECT_EQ(s.str(), u"AbC ABC");
  CStrUtil::MakeLower(s, 6);
  EXPECT_EQ(s.str(), u"AbC ABc");
  for (const int outside : {7, 100, -2}) {
    CStrUtil::MakeLower(s, outside);
    CStrUtil::MakeUpper(s, outside);
    EXPECT_EQ(s.str(), u"AbC ABc");
  }
  CString empty;
  CStrUtil::MakeUpper(empty, 0);
  EXPECT_TRUE(empty.IsEmpty());
}

}  // namespace

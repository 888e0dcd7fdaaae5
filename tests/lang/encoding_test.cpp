// Encodings: code-page resolution through the language map, ICU and IANA
// names, the per-language configuration, its exact serial bytes and its
// property class.
#include "lang/Encoding.h"

#include <gtest/gtest.h>

#include <memory>

#include "LangTestUtil.h"

namespace {

using langtest::BodyHex;
using langtest::ReadBody;

TEST(CEncoding, DefaultsAndNamedEncodings) {
  EXPECT_EQ(CEncoding().codepage, -3);
  EXPECT_TRUE(CEncoding().name.IsEmpty());
  EXPECT_EQ(CEncoding::SelectAnsiByLang, CEncoding(-4));
  // A named encoding answers with its name whatever the language.
  const CEncoding named(CString(u"utf-8"));
  EXPECT_EQ(named.codepage, -3);
  for (int lang : {0x0409, 0x0411, 7777}) {
    EXPECT_EQ(named.GetIcuName(lang), CString(u"utf-8"));
    EXPECT_EQ(named.getCodepage(lang), -3);
  }
}

TEST(CEncoding, IcuAndIanaNamesOfCodepages) {
  struct Case {
    int codepage;
    const char16_t* icu;
    const char16_t* iana;  // nullptr: not checked
  };
  const Case cases[] = {
      {28591, u"iso-8859-1", nullptr},
      {28592, u"iso-8859-2", nullptr},
      {28605, u"iso-8859-15", nullptr},
      {932, u"shift_jis", u"Shift_JIS"},
      {936, u"gb2312", u"GB2312"},
      {949, u"ks_c_5601-1987", nullptr},
      {950, u"big5", nullptr},
      {20866, u"koi8-r", u"KOI8-R"},
      {51949, u"euc-kr", nullptr},
      {52936, u"hz-gb2312", nullptr},
      {1252, u"windows-1252", u"windows-1252"},
      {1251, u"windows-1251", nullptr},
      {0, u"windows-1252", u"windows-1252"},
      {65001, u"windows-65001", u"UTF-8"},
      // Formatted as an unsigned 16-bit number.
      {65536 + 1250, u"windows-1250", nullptr},
      {-5, u"windows-65531", nullptr},
      {12345, u"windows-12345", u""},  // ICU does not know it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codepage);
    EXPECT_EQ(CEncoding(c.codepage).GetIcuName(0x0409), CString(c.icu));
    if (c.iana) EXPECT_EQ(CEncoding(c.codepage).GetIanaName(0x0409), CString(c.iana));
  }
  EXPECT_EQ(CEncoding(CString(u"utf-8")).GetIanaName(0x0409), CString(u"UTF-8"));
  EXPECT_EQ(CEncoding(CString(u"no-such-charset")).GetIanaName(0x0409), CString());
  EXPECT_EQ(CEncoding(CString()).GetIanaName(0x0409), CString());
}

TEST(CEncoding, OnlyTheExactSelectAnsiValueTakesTheLanguagesCodepage) {
  const CEncoding& ansi = CEncoding::SelectAnsiByLang;
  EXPECT_EQ(ansi.getCodepage(0x0419), 1251);
  EXPECT_EQ(ansi.GetIcuName(0x0419), CString(u"windows-1251"));
  EXPECT_EQ(ansi.getCodepage(0x10419), 1251);  // the brand does not count
  EXPECT_EQ(ansi.GetIcuName(0x0411), CString(u"shift_jis"));
  // A language the map does not know has code page 0, written as 1252.
  EXPECT_EQ(ansi.getCodepage(0x03FF), 0);
  EXPECT_EQ(ansi.GetIcuName(0x03FF), CString(u"windows-1252"));

  CEncoding almost(CEncoding::SelectAnsiCodepage);
  almost.name = u"x";
  EXPECT_EQ(almost.getCodepage(0x0419), -4);
  EXPECT_EQ(almost.GetIcuName(0x0419), CString(u"windows-65532"));
}

TEST(CEncoding, OrderByCodepageThenName) {
  const CEncoding low(-4), high(1252), a(CString(u"a")), upperB(CString(u"B"));
  EXPECT_TRUE(low < a);  // signed: -4 before -3
  EXPECT_FALSE(a < low);
  EXPECT_TRUE(low < high);
  EXPECT_TRUE(upperB < a);  // ordinal: 'B' before 'a'
  EXPECT_FALSE(a < upperB);
  EXPECT_FALSE(high < high);
  EXPECT_NE(CEncoding(CString(u"A")), a);
}

TEST(CEncoding, SerialFormIsNameThenCodepage) {
  CEncoding named(CString(u"utf-8"));
  EXPECT_EQ(BodyHex(named),
            "1A 0A 00 00 00 75 00 74 00 66 00 2D 00 38 00 1A 04 00 00 00 FD FF FF FF");
  CEncoding back(932);
  EXPECT_TRUE(ReadBody("1A 00 00 00 00 1A 04 00 00 00 E9 FD 00 00", back));
  EXPECT_EQ(back, CEncoding(65001));
}

TEST(CEncodingCfg, LookUpAndEquality) {
  CEncodingCfg cfg;
  EXPECT_EQ(cfg.GetEncoding(0x0419), CEncoding::SelectAnsiByLang);
  cfg.GetEncodingsByLang()[0x0411] = CEncoding(932);
  EXPECT_EQ(cfg.GetEncoding(0x0411), CEncoding(932));
  // Keys are not normalised: a branded id is another key.
  EXPECT_EQ(cfg.GetEncoding(0x10411), CEncoding::SelectAnsiByLang);
  EXPECT_EQ(CEncodingCfg(CEncoding(65001)).GetEncoding(0x0409), CEncoding(65001));

  CEncodingCfg same;
  same.GetEncodingsByLang()[0x0411] = CEncoding(932);
  EXPECT_TRUE(cfg == same);
  EXPECT_FALSE(cfg < same || same < cfg);
  CEncodingCfg otherValue = same, otherKey, otherDefault = same;
  otherValue.GetEncodingsByLang()[0x0411] = CEncoding(936);
  otherKey.GetEncodingsByLang()[0x0412] = CEncoding(932);
  otherDefault.SetDefault(CEncoding(65001));
  for (const CEncodingCfg* other : {&otherValue, &otherKey, &otherDefault}) {
    EXPECT_FALSE(cfg == *other);
  }
}

// One entry 0x0411 -> 932 and the SelectAnsiByLang default.
const char kCfgBytes[] =
    "18 01 0E 45 00 6E 00 63 00 6F 00 64 00 69 00 6E 00 67 00 42 00 79 00 4C 00 61 00 6E 00 67 00 "
    "1A 04 00 00 00 01 00 00 00 "
    "18 00 18 00 1A 04 00 00 00 11 04 00 00 19 "
    "18 00 1A 00 00 00 00 1A 04 00 00 00 A4 03 00 00 19 19 "
    "19 "
    "18 01 07 44 00 65 00 66 00 61 00 75 00 6C 00 74 00 "
    "1A 00 00 00 00 1A 04 00 00 00 FC FF FF FF 19";

TEST(CEncodingCfg, ExactBytesBothWaysAndMissingDefault) {
  CEncodingCfg cfg;
  cfg.GetEncodingsByLang()[0x0411] = CEncoding(932);
  EXPECT_EQ(BodyHex(cfg), kCfgBytes);
  CEncodingCfg back(CEncoding(1250));
  back.GetEncodingsByLang()[0x0407] = CEncoding(1252);  // replaced by the read
  EXPECT_TRUE(ReadBody(kCfgBytes, back));
  EXPECT_TRUE(back == cfg);

  // The map node only, then the end of "Root".
  const std::string mapOnly(kCfgBytes, std::string(kCfgBytes).find("18 01 07"));
  EXPECT_THROW(ReadBody(mapOnly, back), Serial::Exceptions::FormatIO);
}

TEST(CEncodingCfgProp, RegisteredAndRoundTripsThroughTheRegistry) {
  EXPECT_EQ(CEncodingCfgProp::classInstance.GetName(), Serial::NodeName(u"EncodingCfg"));
  EXPECT_TRUE(CEncodingCfgProp(CEncodingCfgProp::classInstance).Get() == CEncodingCfg());
  CEncodingCfg cfg(CEncoding(CString(u"utf-8")));
  cfg.GetEncodingsByLang()[0x0411] = CEncoding(932);
  cfg.GetEncodingsByLang()[0x10419] = CEncoding::SelectAnsiByLang;
  const CEncodingCfgProp prop(cfg);
  const std::unique_ptr<CProp> back = langtest::RegistryCopy(prop);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(&back->GetPropClass(), &CEncodingCfgProp::classInstance);
  EXPECT_TRUE(back->IsEqual(prop));
}

}  // namespace

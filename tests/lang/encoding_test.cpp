// Encodings: code-page resolution through the language map, ICU and IANA
// names, the per-language configuration, its exact serial bytes and its
// property class.
#include "lang/Encoding.h"

#include <gtest/gtest.h>

#include <memory>

#include "serial/SerialTestUtil.h"

namespace {

using testutil::FromHex;
using testutil::Hex;

// Exposes the protected validity test.
struct InspectableEncoding : CEncoding {
  using CEncoding::CEncoding;
  using CEncoding::IsValidCodepage;
};

TEST(CEncoding, ConstructorsFillCodepageAndName) {
  const InspectableEncoding byDefault;
  EXPECT_EQ(byDefault.codepage, CEncoding::InvalidCodepage);
  EXPECT_TRUE(byDefault.name.IsEmpty());
  EXPECT_FALSE(byDefault.IsValidCodepage());

  const InspectableEncoding named(CString(u"utf-8"));
  EXPECT_EQ(named.codepage, -3);
  EXPECT_EQ(named.getEncoding(), CString(u"utf-8"));
  EXPECT_FALSE(named.IsValidCodepage());

  const InspectableEncoding cp(1250);
  EXPECT_EQ(cp.codepage, 1250);
  EXPECT_TRUE(cp.name.IsEmpty());
  EXPECT_TRUE(cp.IsValidCodepage());

  EXPECT_EQ(CEncoding::SelectAnsiByLang.codepage, -4);
  EXPECT_TRUE(CEncoding::SelectAnsiByLang.name.IsEmpty());
}

TEST(CEncoding, IcuNamesOfCodepages) {
  struct Case {
    int codepage;
    const char16_t* icu;
  };
  const Case cases[] = {
      {28591, u"iso-8859-1"},
      {28592, u"iso-8859-2"},
      {28605, u"iso-8859-15"},
      {932, u"shift_jis"},
      {936, u"gb2312"},
      {949, u"ks_c_5601-1987"},
      {950, u"big5"},
      {20866, u"koi8-r"},
      {51949, u"euc-kr"},
      {52936, u"hz-gb2312"},
      {1252, u"windows-1252"},
      {1251, u"windows-1251"},
      {0, u"windows-1252"},
      {65001, u"windows-65001"},
      // Formatted as an unsigned 16-bit number.
      {65536 + 1250, u"windows-1250"},
      {-5, u"windows-65531"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CEncoding(c.codepage).GetIcuName(0x0409), CString(c.icu)) << c.codepage;
  }
}

TEST(CEncoding, NamedEncodingKeepsItsNameForEveryLanguage) {
  const CEncoding named(CString(u"utf-8"));
  for (int lang : {0x0409, 0x0411, 0x0419, 0x7FFF, 7777}) {
    EXPECT_EQ(named.GetIcuName(lang), CString(u"utf-8"));
    EXPECT_EQ(named.getCodepage(lang), -3);
  }
}

TEST(CEncoding, IanaNamesComeFromIcu) {
  struct Case {
    int codepage;
    const char16_t* iana;
  };
  const Case cases[] = {
      {1252, u"windows-1252"}, {65001, u"UTF-8"},    {932, u"Shift_JIS"},
      {936, u"GB2312"},        {0, u"windows-1252"}, {20866, u"KOI8-R"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CEncoding(c.codepage).GetIanaName(0x0409), CString(c.iana)) << c.codepage;
  }
  EXPECT_EQ(CEncoding(CString(u"utf-8")).GetIanaName(0x0409), CString(u"UTF-8"));
}

TEST(CEncoding, UnknownNamesGiveEmptyIanaName) {
  EXPECT_EQ(CEncoding(CString(u"no-such-charset")).GetIanaName(0x0409), CString());
  EXPECT_EQ(CEncoding(CString()).GetIanaName(0x0409), CString());
  EXPECT_EQ(CEncoding(12345).GetIanaName(0x0409), CString());
}

TEST(CEncoding, SelectAnsiByLangTakesTheLanguagesCodepage) {
  const CEncoding& ansi = CEncoding::SelectAnsiByLang;
  EXPECT_EQ(ansi.getCodepage(0x0419), 1251);
  EXPECT_EQ(ansi.GetIcuName(0x0419), CString(u"windows-1251"));
  EXPECT_EQ(ansi.getCodepage(0x10419), 1251);  // the brand does not count
  EXPECT_EQ(ansi.getCodepage(0x0411), 932);
  EXPECT_EQ(ansi.GetIcuName(0x0411), CString(u"shift_jis"));
  // A language the map does not know has code page 0, written as 1252.
  EXPECT_EQ(ansi.getCodepage(0x03FF), 0);
  EXPECT_EQ(ansi.GetIcuName(0x03FF), CString(u"windows-1252"));
}

TEST(CEncoding, OnlyTheExactSelectAnsiValueSelects) {
  CEncoding almost(CEncoding::SelectAnsiCodepage);
  almost.name = u"x";
  EXPECT_NE(almost, CEncoding::SelectAnsiByLang);
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
  EXPECT_EQ(CEncoding(CString(u"a")), a);
  EXPECT_NE(CEncoding(CString(u"A")), a);
}

TEST(CEncoding, SerialFormIsNameThenCodepage) {
  CEncoding named(CString(u"utf-8"));
  EXPECT_EQ(Hex(testutil::WriteBody([&](Serial::ISerialStream& s) { EXPECT_TRUE(named.Do(s)); })),
            "1A 0A 00 00 00 75 00 74 00 66 00 2D 00 38 00 1A 04 00 00 00 FD FF FF FF");
  CEncoding back(932);
  testutil::Read(testutil::Stream(FromHex("1A 00 00 00 00 1A 04 00 00 00 E9 FD 00 00")),
                 [&](Serial::ISerialStream& s) { EXPECT_TRUE(back.Do(s)); });
  EXPECT_EQ(back, CEncoding(65001));
}

TEST(CEncodingCfg, LanguagesWithoutEntryTakeTheDefault) {
  CEncodingCfg cfg;
  EXPECT_EQ(cfg.GetDefault(), CEncoding::SelectAnsiByLang);
  EXPECT_EQ(cfg.GetEncoding(0x0419), CEncoding::SelectAnsiByLang);
  cfg.GetEncodingsByLang()[0x0411] = CEncoding(932);
  EXPECT_EQ(cfg.GetEncoding(0x0411).GetIcuName(0x0411), CString(u"shift_jis"));
  EXPECT_EQ(cfg.GetEncoding(0x0412), CEncoding::SelectAnsiByLang);
  // Keys are not normalised: a branded id is another key.
  EXPECT_EQ(cfg.GetEncoding(0x10411), CEncoding::SelectAnsiByLang);

  const CEncodingCfg utf8(CEncoding(CString(u"utf-8")));
  EXPECT_EQ(utf8.GetEncoding(0x0409).GetIcuName(0x0409), CString(u"utf-8"));
}

TEST(CEncodingCfg, EqualityNeedsSameEntriesAndDefault) {
  CEncodingCfg a, b;
  EXPECT_TRUE(a == b);
  a.GetEncodingsByLang()[0x0411] = CEncoding(932);
  EXPECT_FALSE(a == b);
  b.GetEncodingsByLang()[0x0411] = CEncoding(932);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a < b);
  EXPECT_FALSE(b < a);
  b.GetEncodingsByLang()[0x0411] = CEncoding(936);
  EXPECT_FALSE(a == b);
  b.GetEncodingsByLang()[0x0411] = CEncoding(932);
  b.SetDefault(CEncoding(65001));
  EXPECT_FALSE(a == b);
  // Same encodings under different keys differ.
  CEncodingCfg c, d;
  c.GetEncodingsByLang()[0x0411] = CEncoding(932);
  d.GetEncodingsByLang()[0x0412] = CEncoding(932);
  EXPECT_FALSE(c == d);
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

TEST(CEncodingCfg, ExactBytesBothWays) {
  CEncodingCfg cfg;
  cfg.GetEncodingsByLang()[0x0411] = CEncoding(932);
  EXPECT_EQ(Hex(testutil::WriteBody([&](Serial::ISerialStream& s) { EXPECT_TRUE(cfg.Do(s)); })),
            Hex(FromHex(kCfgBytes)));
  CEncodingCfg back(CEncoding(1250));
  back.GetEncodingsByLang()[0x0407] = CEncoding(1252);  // replaced by the read
  testutil::Read(testutil::Stream(FromHex(kCfgBytes)),
                 [&](Serial::ISerialStream& s) { EXPECT_TRUE(back.Do(s)); });
  EXPECT_TRUE(back == cfg);
}

TEST(CEncodingCfg, MissingDefaultNodeFailsTheRead) {
  // The map node only, then the end of "Root".
  const std::string mapOnly(kCfgBytes, std::string(kCfgBytes).find("18 01 07"));
  CEncodingCfg back;
  EXPECT_THROW(testutil::Read(testutil::Stream(FromHex(mapOnly)),
                              [&](Serial::ISerialStream& s) { back.Do(s); }),
               Serial::Exceptions::FormatIO);
}

TEST(CEncodingCfgProp, RegisteredAndRoundTripsThroughTheRegistry) {
  EXPECT_EQ(CEncodingCfgProp::classInstance.GetName(), Serial::NodeName(u"EncodingCfg"));
  const CEncodingCfgProp byDefault(CEncodingCfgProp::classInstance);
  EXPECT_TRUE(byDefault.Get() == CEncodingCfg());

  CEncodingCfg cfg(CEncoding(CString(u"utf-8")));
  cfg.GetEncodingsByLang()[0x0411] = CEncoding(932);
  cfg.GetEncodingsByLang()[0x10419] = CEncoding::SelectAnsiByLang;
  CEncodingCfgProp prop(cfg);
  EXPECT_FALSE(prop.IsLess(prop));
  EXPECT_FALSE(prop.IsEqual(byDefault));

  Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
  Serial::SerialClassStrategy<CProp> strategy(factory);
  const testutil::Bytes bytes = testutil::Write([&](Serial::ISerialStream& s) {
    CProp* raw = &prop;
    EXPECT_TRUE(strategy.Do(s, raw));
  });
  CProp* raw = nullptr;
  testutil::Read(bytes, [&](Serial::ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, raw)); });
  const std::unique_ptr<CProp> back(raw);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(&back->GetPropClass(), &CEncodingCfgProp::classInstance);
  EXPECT_TRUE(back->IsEqual(prop));
}

}  // namespace

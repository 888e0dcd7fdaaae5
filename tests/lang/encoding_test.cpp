// Encodings: code-page resolution through the language map, ICU and IANA
// names, the per-language configuration, its exact serial bytes and its
// property class.
#include "lang/Encoding.h"

#include <gtest/gtest.h>

#include "LangTestUtil.h"
#include "platform/TestData.h"

namespace {

using langtest::BodyHex;
using langtest::ReadBody;

TEST(CEncoding, IcuAndIanaNamesOfCodepages) {
  for (const auto& row : testdata::Rows("lang", "codepages.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    const CEncoding encoding(std::stoi(row[0]));
    EXPECT_EQ(encoding.GetIcuName(0x0409).ToUtf8(), row[1]) << row[0];
    if (row[2] != "*") EXPECT_EQ(encoding.GetIanaName(0x0409).ToUtf8(), row[2]) << row[0];
  }
  EXPECT_EQ(CEncoding(CString(u"utf-8")).GetIanaName(0x0409), CString(u"UTF-8"));
  EXPECT_EQ(CEncoding(CString(u"utf-8")).GetIcuName(0x0411), CString(u"utf-8"));
  EXPECT_EQ(CEncoding(CString(u"no-such-charset")).GetIanaName(0x0409), CString());
}

TEST(CEncoding, OnlyTheExactSelectAnsiValueTakesTheLanguagesCodepage) {
  const CEncoding& ansi = CEncoding::SelectAnsiByLang;
  EXPECT_EQ(ansi.getCodepage(0x0419), 1251);
  EXPECT_EQ(ansi.GetIcuName(0x0419), CString(u"windows-1251"));
  EXPECT_EQ(ansi.getCodepage(0x10419), 1251);  // the brand does not count
  // A language the map does not know has code page 0, written as 1252.
  EXPECT_EQ(ansi.getCodepage(0x03FF), 0);
  EXPECT_EQ(ansi.GetIcuName(0x03FF), CString(u"windows-1252"));

  CEncoding almost(CEncoding::SelectAnsiCodepage);
  almost.name = u"x";
  EXPECT_EQ(almost.getCodepage(0x0419), -4);
  EXPECT_EQ(almost.GetIcuName(0x0419), CString(u"windows-65532"));
}

TEST(CEncoding, SerialFormIsNameThenCodepage) {
  CEncoding named(CString(u"utf-8"));
  EXPECT_EQ(BodyHex(named),
            "1A 0A 00 00 00 75 00 74 00 66 00 2D 00 38 00 1A 04 00 00 00 FD FF FF FF");
  CEncoding back(932);
  EXPECT_TRUE(ReadBody("1A 00 00 00 00 1A 04 00 00 00 E9 FD 00 00", back));
  EXPECT_EQ(back, CEncoding(65001));
}

TEST(CEncodingCfg, LookUpByFullIdAndExactBytesBothWays) {
  const std::string kCfgBytes = langtest::HexFile("lang", "encoding_cfg.hex");
  CEncodingCfg cfg;
  cfg.GetEncodingsByLang()[0x0411] = CEncoding(932);
  EXPECT_EQ(cfg.GetEncoding(0x0411), CEncoding(932));
  // Keys are not normalised: a branded id is another key.
  EXPECT_EQ(cfg.GetEncoding(0x10411), CEncoding::SelectAnsiByLang);
  EXPECT_EQ(BodyHex(cfg), kCfgBytes);
  CEncodingCfg back(CEncoding(1250));
  back.GetEncodingsByLang()[0x0407] = CEncoding(1252);  // replaced by the read
  EXPECT_TRUE(ReadBody(kCfgBytes, back));
  EXPECT_TRUE(back == cfg);

  // The map node only, then the end of "Root".
  const std::string mapOnly = kCfgBytes.substr(0, kCfgBytes.find("18 01 07"));
  EXPECT_THROW(ReadBody(mapOnly, back), Serial::Exceptions::FormatIO);
}

}  // namespace

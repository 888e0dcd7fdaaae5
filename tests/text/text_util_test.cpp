// Escapes, editor texts, SQL quoting and unified resource identifiers.
// Results are compared as std::u16string so that failures print readably.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/TextUtil.h"

namespace {

using std::u16string;

// The defining form of ShowEscapeCodes: backslashes doubled, then each
// control character replaced in table order.
u16string ShowByReplacing(const u16string& text) {
  CString s(text);
  const u16string controls = u"\\\a\b\f\n\r\t\v", letters = u"\\abfnrtv";
  for (size_t i = 0; i < controls.size(); ++i) {
    s.Replace(controls.substr(i, 1).c_str(), (u"\\" + letters.substr(i, 1)).c_str());
  }
  return s.str();
}

// Every code unit alone and among escapes (controls without an escape stay),
// then surrogate pairs and lone halves next to escapes.
TEST(EscapeCodes, ShowMatchesReplacementAndHideInvertsIt) {
  std::vector<u16string> texts = {u"a\U00010400\\\nb", u"\xDC00\xD800", u"\xD800\\\xDFFF\t"};
  for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    const u16string c(1, static_cast<char16_t>(unit));
    texts.insert(texts.end(), {u"a" + c + u"\\\t" + c, u"\\" + c + c + u"\\\\"});
  }
  for (const u16string& text : texts) {
    const CString shown = ShowEscapeCodes(CString(text));
    ASSERT_EQ(shown.str(), ShowByReplacing(text)) << CString(text).ToUtf8();
    ASSERT_EQ(HideEscapeCodes(shown).str(), text) << CString(text).ToUtf8();
  }
}

TEST(EscapeCodes, HideReadsWhateverAUserTyped) {
  const std::pair<u16string, u16string> cases[] = {
      {u"a\\qb", u"aqb"},                    // unknown escape: the letter stays
      {u"abc\\", u"abc"},                    // a lone backslash at the end is dropped
      {u"\\\\\\", u"\\"},                    // odd run at the end
      {u"x\\\\n", u"x\\n"},                  // even run: the n is plain text
      {u"\\\\\\n", u"\\\n"},                 // odd run: the last backslash escapes
      {u"\\\xD83D\xDE00", u"\xD83D\xDE00"},  // the escape takes one code unit
      {u"raw\tcontrols\nstay", u"raw\tcontrols\nstay"},
  };
  for (const auto& [typed, stored] : cases) {
    EXPECT_EQ(HideEscapeCodes(CString(typed)).str(), stored) << CString(typed).ToUtf8();
  }
}

TEST(GuiStrings, NamesShowEscapesAndSqlDoublesApostrophes) {
  EXPECT_EQ(StrToGuiStr(u"#12").str(), u"");
  EXPECT_EQ(StrToGuiStr(u"@@x\\\t").str(), u"@x\\\\\\t");  // only one "@" is the prefix
  EXPECT_EQ(GuiStrToStr(u"#1\\t").str(), u"@#1\t");        // typed text is always a name
  EXPECT_EQ(DuplicateSpecChar(u"'it''s' \"x\"").str(), u"''it''''s'' \"x\"");
  EXPECT_EQ(DuplicateSpecChar(nullptr).str(), u"");
}

TEST(UnifiedIds, NamesAndPrefixes) {
  const struct {
    const char16_t* unified;
    bool isName;
    u16string name;
    u16string gui;
  } cases[] = {
      {u"#5", false, u"#5", u"5"},  {u"@X", true, u"X", u"X"}, {u"X", true, u"X", u"X"},
      {u"@@x", true, u"@x", u"@x"}, {u"@", true, u"", u""},    {nullptr, true, u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsStrUnified(c.unified), c.isName);
    EXPECT_EQ(StrFromUnified(c.unified).str(), c.name);
    EXPECT_EQ(ResIdToGui(c.unified).str(), c.gui);
  }
}

TEST(UnifiedIds, NumbersParseLikeWindowsAndTruncateTo32Bits) {
  const std::pair<const char16_t*, unsigned long> cases[] = {
      {u"#abc", 0},
      {u"#-1", 4294967295ul},
      {u"#99999999999", 1215752191},  // 99999999999 mod 2^32
      {u"# \t\n42x", 42},
      {u"#--1", 0},
      {u"#9223372036854775808", 4294967295ul},  // saturates at the 64-bit maximum
      {u"#-99999999999999999999999", 0},        // saturates at the 64-bit minimum
      {u"#\x0661", 0},                          // only ASCII digits count
  };
  for (const auto& [unified, number] : cases) {
    const CString text(unified);
    EXPECT_EQ(NumFromUnified(unified), number) << text.ToUtf8();
    unsigned long id = 77;
    EXPECT_TRUE(IdFromString(unified, id));
    EXPECT_EQ(id, number) << text.ToUtf8();
    EXPECT_EQ(ResIdToGui(text).str(), ToUnifiedFmt(number).Mid(1).str()) << text.ToUtf8();
  }
  // Numbers are formatted from their low 32 bits; a null resource is 0.
  EXPECT_EQ(ToUnifiedFmt(static_cast<unsigned long>(UINT64_C(0x100000005))).str(), u"#5");
  EXPECT_EQ(ToUnifiedFmt(static_cast<const char16_t*>(nullptr)).str(), u"#0");
  // The first character is skipped whatever it is; IdFromString insists on "#".
  EXPECT_EQ(NumFromUnified(u"@12"), 12ul);
  for (const char16_t* notNumeric : {u"@12", u"", static_cast<const char16_t*>(nullptr)}) {
    unsigned long id = 77;
    EXPECT_FALSE(IdFromString(notNumeric, id));
    EXPECT_EQ(id, 77ul);
  }
}

TEST(UnifiedIds, ToResourcesAndBack) {
  const struct {
    const char16_t* unified;
    bool isInt;
    u16string back;
  } cases[] = {
      {u"#70000", true, u"#4464"},
      {u"#abc", true, u"#0"},
      {u"Name", false, u"@Name"},
  };
  for (const auto& c : cases) {
    char16_t* res = nullptr;
    Unified2Res(c.unified, res);
    ASSERT_EQ(IS_INTRESOURCE(res), c.isInt) << CString(c.unified).ToUtf8();
    std::unique_ptr<char16_t[]> owned(c.isInt ? nullptr : res);
    EXPECT_EQ(Res2Unified(res).str(), c.back);
  }
}

}  // namespace

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
  std::vector<u16string> texts = {u"\U0001F600", u"a\U00010400\\\nb", u"\xDC00\xD800",
                                  u"\xD800\\\xDFFF\t"};
  for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    const u16string c(1, static_cast<char16_t>(unit));
    texts.insert(texts.end(), {c, u"a" + c + u"\\\t" + c, u"\\" + c + c + u"\\\\"});
  }
  for (const u16string& text : texts) {
    const CString shown = ShowEscapeCodes(CString(text));
    ASSERT_EQ(shown.str(), ShowByReplacing(text)) << CString(text).ToUtf8();
    ASSERT_EQ(HideEscapeCodes(shown).str(), text) << CString(text).ToUtf8();
  }
}

TEST(EscapeCodes, HideReadsWhateverAUserTyped) {
  const struct {
    u16string typed;
    u16string stored;
  } cases[] = {
      {u"", u""},
      {u"a\\qb", u"aqb"},  // unknown escape: the letter stays
      {u"abc\\", u"abc"},  // a lone backslash at the end is dropped
      {u"\\", u""},
      {u"\\\\", u"\\"},
      {u"\\\\\\", u"\\"},  // odd run at the end
      {u"\\N", u"N"},      // upper case is not an escape
      {u"\\\\\\n", u"\\\n"},
      {u"x\\\\n", u"x\\n"},         // even run: the n is plain text
      {u"\\\\\\\\\\t", u"\\\\\t"},  // five backslashes and t
      {u"\\a\\b\\f\\n\\r\\t\\v", u"\a\b\f\n\r\t\v"},
      {u"\\\\\\\\", u"\\\\"},
      {u"\\\xD83D\xDE00", u"\xD83D\xDE00"},  // the escape takes one code unit
      {u"raw\tcontrols\nstay", u"raw\tcontrols\nstay"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HideEscapeCodes(CString(c.typed)).str(), c.stored) << CString(c.typed).ToUtf8();
  }
}

TEST(EscapeCodes, FormattingSymbolsAreKeptAsTheyAre) {
  const CString text(u"a\\b\tc\n");
  EXPECT_EQ(ShowFormattingSymols(text), text);
  EXPECT_EQ(HideFormattingSymbols(text), text);
}

TEST(GuiStrings, NamesAreEditedWithEscapesShown) {
  EXPECT_EQ(StrToGuiStr(u"#12").str(), u"");
  EXPECT_EQ(StrToGuiStr(u"@a\tb").str(), u"a\\tb");
  EXPECT_EQ(GuiStrToStr(u"a\\tb").str(), u"@a\tb");
  EXPECT_EQ(StrToGuiStr(u"@@x\\").str(), u"@x\\\\");  // only one "@" is the prefix
  EXPECT_EQ(StrToGuiStr(u"bare").str(), u"bare");
  EXPECT_EQ(StrToGuiStr(u"").str(), u"");
  EXPECT_EQ(GuiStrToStr(u"").str(), u"@");
  EXPECT_EQ(GuiStrToStr(u"#12").str(), u"@#12");  // typed text is always a name
  const CString stored(u"@line\r\nnext\\");
  EXPECT_EQ(GuiStrToStr(StrToGuiStr(stored)), stored);
}

TEST(DuplicateSpecChar, DoublesApostrophesOnly) {
  const struct {
    const char16_t* text;
    u16string quoted;
  } cases[] = {
      {u"it's", u"it''s"},
      {u"''", u"''''"},
      {u"'edge'", u"''edge''"},
      {u"no quotes \"here\"", u"no quotes \"here\""},
      {u"", u""},
      {nullptr, u""},
  };
  for (const auto& c : cases) EXPECT_EQ(DuplicateSpecChar(c.text).str(), c.quoted);
}

TEST(UnifiedIds, FromResources) {
  EXPECT_EQ(ToUnifiedFmt(MAKEINTRESOURCE(5)).str(), u"#5");
  EXPECT_EQ(ToUnifiedFmt(MAKEINTRESOURCE(65535)).str(), u"#65535");
  EXPECT_EQ(ToUnifiedFmt(MAKEINTRESOURCE(70000)).str(), u"#4464");  // 16 bits kept
  EXPECT_EQ(ToUnifiedFmt(static_cast<const char16_t*>(nullptr)).str(), u"#0");
  EXPECT_EQ(ToUnifiedFmt(u"DIALOG1").str(), u"@DIALOG1");
  EXPECT_EQ(ToUnifiedFmt(u"").str(), u"@");
  EXPECT_EQ(ToUnifiedFmt(70000ul).str(), u"#70000");
  EXPECT_EQ(ToUnifiedFmt(0ul).str(), u"#0");
  EXPECT_EQ(ToUnifiedFmt(4294967295ul).str(), u"#4294967295");
  EXPECT_EQ(ToUnifiedFmt(static_cast<unsigned long>(UINT64_C(0x100000005))).str(), u"#5");
  EXPECT_EQ(Res2Unified(MAKEINTRESOURCE(12)).str(), u"#12");
  EXPECT_EQ(Res2Unified(u"MENU").str(), u"@MENU");
}

TEST(UnifiedIds, NamesAndPrefixes) {
  const struct {
    const char16_t* unified;
    bool isName;
    u16string name;
    u16string gui;
  } cases[] = {
      {u"#5", false, u"#5", u"5"},  {u"@X", true, u"X", u"X"}, {u"X", true, u"X", u"X"},
      {u"@@x", true, u"@x", u"@x"}, {u"@", true, u"", u""},    {u"", true, u"", u""},
      {nullptr, true, u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsStrUnified(c.unified), c.isName);
    EXPECT_EQ(StrFromUnified(c.unified).str(), c.name);
    EXPECT_EQ(ResIdToGui(c.unified).str(), c.gui);
  }
}

TEST(UnifiedIds, NumbersParseLikeWindowsAndTruncateTo32Bits) {
  const struct {
    const char16_t* unified;
    unsigned long number;
  } cases[] = {
      {u"#12", 12},
      {u"#", 0},
      {u"#abc", 0},
      {u"#-1", 4294967295ul},
      {u"#99999999999", 1215752191},  // 99999999999 mod 2^32
      {u"#4294967296", 0},
      {u"#+7", 7},
      {u"#007", 7},
      {u"# \t\n42x", 42},
      {u"#--1", 0},
      {u"#12 34", 12},
      {u"#9223372036854775807", 4294967295ul},
      {u"#9223372036854775808", 4294967295ul},  // saturates at the 64-bit maximum
      {u"#99999999999999999999999", 4294967295ul},
      {u"#-9223372036854775808", 0},
      {u"#-99999999999999999999999", 0},  // saturates at the 64-bit minimum
      {u"#\x0661", 0},                    // only ASCII digits count
  };
  for (const auto& c : cases) {
    const CString text(c.unified);
    EXPECT_EQ(NumFromUnified(c.unified), c.number) << text.ToUtf8();
    unsigned long id = 77;
    EXPECT_TRUE(IdFromString(c.unified, id));
    EXPECT_EQ(id, c.number) << text.ToUtf8();
    EXPECT_EQ(ResIdToGui(text).str(), ToUnifiedFmt(c.number).Mid(1).str()) << text.ToUtf8();
  }
  // The first character is skipped whatever it is; IdFromString insists on "#".
  EXPECT_EQ(NumFromUnified(u"@12"), 12ul);
  EXPECT_EQ(NumFromUnified(u""), 0ul);
  EXPECT_EQ(NumFromUnified(nullptr), 0ul);
  for (const char16_t* notNumeric : {u"@12", u"12", u"", static_cast<const char16_t*>(nullptr)}) {
    unsigned long id = 77;
    EXPECT_FALSE(IdFromString(notNumeric, id));
    EXPECT_EQ(id, 77ul);
  }
}

TEST(UnifiedIds, ToResourcesAndBack) {
  const struct {
    const char16_t* unified;
    bool isInt;
    unsigned short number;
    u16string name;
    u16string back;
  } cases[] = {
      {u"#12", true, 12, u"", u"#12"},        {u"#70000", true, 4464, u"", u"#4464"},
      {u"#abc", true, 0, u"", u"#0"},         {u"@Name", false, 0, u"Name", u"@Name"},
      {u"Name", false, 0, u"Name", u"@Name"}, {u"@", false, 0, u"", u"@"},
  };
  for (const auto& c : cases) {
    char16_t* res = nullptr;
    Unified2Res(c.unified, res);
    ASSERT_EQ(IS_INTRESOURCE(res), c.isInt) << CString(c.unified).ToUtf8();
    if (c.isInt) {
      EXPECT_EQ(IntResourceNumber(res), c.number);
      EXPECT_EQ(Res2Unified(res).str(), c.back);
    } else {
      std::unique_ptr<char16_t[]> owned(res);
      EXPECT_EQ(u16string(owned.get()), c.name);
      EXPECT_EQ(Res2Unified(owned.get()).str(), c.back);
    }
  }
}

}  // namespace

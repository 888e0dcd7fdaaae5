// CString: formatting against exact texts, index clamping, searching, case
// mapping beyond ASCII, trimming, editing, tokenizing and UTF-8 conversion.
#include "platform/CString.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/TestData.h"

namespace {

std::u16string F(const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  CString s(u"old");
  s.FormatV(format, args);
  va_end(args);
  return s.str();
}

const char16_t* const kNullText = nullptr;

TEST(CString, FormatMatchesExactTexts) {
  EXPECT_EQ(F(u"%d|%i|%u", 42, -7, 3000000000u), u"42|-7|3000000000");
  EXPECT_EQ(F(u"[%5d][%-5d][%05d][%+d][% d][%+05d]", 42, 42, 42, 42, 42, -42),
            u"[   42][42   ][00042][+42][ 42][-0042]");
  EXPECT_EQ(F(u"%x %X %#x %o %#o %x", 255, 255, 255, 8, 8, -1), u"ff FF 0xff 10 010 ffffffff");
  EXPECT_EQ(F(u"%hd %hu %hhd %hx", 70000, 65537, 200, 0x12345), u"4464 1 -56 2345");
  EXPECT_EQ(F(u"%ld %lld %I64d %I64u %llx %zu %I32d", -5000000000L, 9223372036854775807LL, -1LL,
              18446744073709551615ULL, 0x1234567890LL, size_t{12}, 9),
            u"-5000000000 9223372036854775807 -1 18446744073709551615 1234567890 12 9");
  EXPECT_EQ(F(u"%.3d|%.0d|%8.3x", 7, 0, 10), u"007||     00a");
  EXPECT_EQ(F(u"%*d|%*d|%-*d|%.*d", 4, 1, -4, 2, 3, 3, -1, 5), u"   1|2   |3  |5");
  EXPECT_EQ(F(u"%f|%.2f|%e|%E|%g|%G", 1.5, 3.14159, 12345.678, 0.00012, 0.0001, 1e20),
            u"1.500000|3.14|1.234568e+04|1.200000E-04|0.0001|1E+20");
  EXPECT_EQ(F(u"%10.3f|%-8.1f|%+.1f|%08.2f|%.*f|%Lf", 3.14159, 2.25, 2.0, -1.5, 1, 0.25, 1.0L),
            u"     3.142|2.2     |+2.0|-0001.50|0.2|1.000000");
  const std::u16string big = F(u"%.0f", 1e300);
  EXPECT_EQ(big.size(), 301u);
  EXPECT_EQ(big.substr(0, 4), u"1000");
  EXPECT_EQ(F(u"%c%c|%3c|%-3c|%hc|%C|%lc", u'A', 0xE9, u'x', u'y', 'n', 'm', u'w'),
            u"A\u00E9|  x|y  |n|m|w");
  EXPECT_EQ(F(u"%s|%8s|%-8s|%.2s|%8.3s|%s|%05s", u"abc", u"abc", u"abc", u"abc", u"abcdef",
              kNullText, u"ab"),
            u"abc|     abc|abc     |ab|     abc|(null)|000ab");
  EXPECT_EQ(F(u"%S|%5S|%hs|%ls|%ws|%S|%.2S", "h\xC3\xA9llo", "ab", "cd", u"ef", u"gh",
              static_cast<const char*>(nullptr), "xyz"),
            u"h\u00E9llo|   ab|cd|ef|gh|(null)|xy");
  // Precision never splits a surrogate pair.
  EXPECT_EQ(F(u"[%.1s][%.2s][%3.1s]", u"\U00010400x", u"\U00010400x", u"\U00010400"),
            u"[][\U00010400][   ]");
  const void* p = reinterpret_cast<const void*>(uintptr_t{0x12AB});
  EXPECT_EQ(F(u"%p|%20p|%-18p|", p, p, p),
            u"00000000000012AB|    00000000000012AB|00000000000012AB  |");
  EXPECT_EQ(F(u"100%% sure|%y|%5k|%"), u"100% sure|%y|%5k|%");
  EXPECT_EQ(F(nullptr), u"");
  EXPECT_EQ(F(u"%200d", 123), std::u16string(197, u' ') + u"123");

  CString s(u"a");
  s.AppendFormat(u"%d-%s", 1, u"b");
  // Arguments may point into the string being formatted.
  s.Format(u"<%s>", s.GetString());
  s.AppendFormat(u"%s", s.GetString());
  EXPECT_EQ(s.str(), u"<a1-b><a1-b>");
}

// Texts that point into the string they change and growth past every inline
// or allocated size.
TEST(CString, StorageAliasingAndGrowth) {
  for (const char16_t* seed :
       {u"a", u"abcdefg", u"abcdefgh", u"a longer text than any inline room"}) {
    const std::u16string e(seed);
    CString s(seed);
    s += s;
    EXPECT_EQ(s.str(), e + e);
    s = seed;
    s.Append(s.GetString() + 1, s.GetLength() - 1);
    EXPECT_EQ(s.str(), e + e.substr(1));
    s = seed;
    s = s.GetString() + 1;
    EXPECT_EQ(s.str(), e.substr(1));
    s = seed;
    s.Replace(s.GetString() + 1, u"-");  // `from` inside the string itself
    EXPECT_EQ(s.str(), e.size() > 1 ? u"a-" : u"a");
    s = seed;
    s.Insert(1, s.GetString());
    EXPECT_EQ(s.str(), e.substr(0, 1) + e + e.substr(1));
    CString copy(s);
    copy.SetAt(0, u'#');
    EXPECT_EQ(s.str(), e.substr(0, 1) + e + e.substr(1));  // copies never share a text
  }

  // Growth past every inline or allocated size keeps the terminator.
  CString grown;
  for (int i = 0; i < 3000; ++i) grown.AppendChar(static_cast<char16_t>(u'a' + i % 26));
  EXPECT_EQ(grown.GetLength(), 3000);
  EXPECT_EQ(grown.GetString()[3000], u'\0');
  grown.Delete(1, 2990);
  EXPECT_EQ(grown.str(), u"abcdefghij");  // 2991 % 26 == 1
  // Units at an odd address, as a stream hands them out; growing from in
  // place to the heap and shrinking back.
  const unsigned char bytes[] = {0, 'h', 0, 'i', 0, '!', 0, ' ', 0, 't',
                                 0, 'h', 0, 'e', 0, 'r', 0, 'e', 0};
  CString units;
  for (const auto& [count, want] : {std::pair{2, u"hi"}, {9, u"hi! there"}, {3, u"hi!"}}) {
    units.SetUnits(bytes + 1, count);
    EXPECT_EQ(units.str(), want);
  }
  units.SetUnits(nullptr, 0);
  EXPECT_TRUE(units.IsEmpty());
  EXPECT_TRUE(CString(u"abc", -1).IsEmpty());  // a negative length
  // Equal lengths, different units after a zero.
  EXPECT_LT(CString(u"a\0b", 3), CString(u"a\0c", 3));
}

// One row of cstring_ops.tsv: the text and the arguments after it.
struct Row {
  CString text;
  std::vector<CString> args;
  std::vector<bool> null;
  const char16_t* P(size_t i) const { return null[i] ? nullptr : args[i].GetString(); }
  char16_t C(size_t i) const { return args[i][0]; }
  int I(size_t i) const { return std::stoi(args[i].ToUtf8()); }
};
using Op = std::function<std::string(Row&)>;

std::string Edited(int n, const CString& s) { return std::to_string(n) + " " + s.ToUtf8(); }

TEST(CString, OperationsTable) {
  const std::map<std::string, Op> ops = {
      {"Mid",
       [](Row& r) {
         return r.args.size() == 1 ? r.text.Mid(r.I(0)).ToUtf8()
                                   : r.text.Mid(r.I(0), r.I(1)).ToUtf8();
       }},
      {"Left", [](Row& r) { return r.text.Left(r.I(0)).ToUtf8(); }},
      {"Right", [](Row& r) { return r.text.Right(r.I(0)).ToUtf8(); }},
      {"SpanIncluding", [](Row& r) { return r.text.SpanIncluding(r.P(0)).ToUtf8(); }},
      {"SpanExcluding", [](Row& r) { return r.text.SpanExcluding(r.P(0)).ToUtf8(); }},
      {"FindChar", [](Row& r) { return std::to_string(r.text.Find(r.C(0), r.I(1))); }},
      {"Find", [](Row& r) { return std::to_string(r.text.Find(r.P(0), r.I(1))); }},
      {"ReverseFind", [](Row& r) { return std::to_string(r.text.ReverseFind(r.C(0))); }},
      {"FindOneOf", [](Row& r) { return std::to_string(r.text.FindOneOf(r.P(0))); }},
      {"MakeLower", [](Row& r) { return r.text.MakeLower().ToUtf8(); }},
      {"MakeUpper", [](Row& r) { return r.text.MakeUpper().ToUtf8(); }},
      {"MakeReverse", [](Row& r) { return r.text.MakeReverse().ToUtf8(); }},
      {"Compare", [](Row& r) { return std::to_string(r.text.Compare(r.P(0))); }},
      {"CompareNoCase", [](Row& r) { return std::to_string(r.text.CompareNoCase(r.P(0))); }},
      {"Trim", [](Row& r) { return r.text.Trim().ToUtf8(); }},
      {"TrimLeft", [](Row& r) { return r.text.TrimLeft().ToUtf8(); }},
      {"TrimRight", [](Row& r) { return r.text.TrimRight().ToUtf8(); }},
      {"TrimChar", [](Row& r) { return r.text.Trim(r.C(0)).ToUtf8(); }},
      {"TrimLeftChar", [](Row& r) { return r.text.TrimLeft(r.C(0)).ToUtf8(); }},
      {"TrimRightChar", [](Row& r) { return r.text.TrimRight(r.C(0)).ToUtf8(); }},
      {"TrimSet", [](Row& r) { return r.text.Trim(r.P(0)).ToUtf8(); }},
      {"TrimRightSet", [](Row& r) { return r.text.TrimRight(r.P(0)).ToUtf8(); }},
      {"Replace", [](Row& r) { return Edited(r.text.Replace(r.P(0), r.P(1)), r.text); }},
      {"ReplaceChar", [](Row& r) { return Edited(r.text.Replace(r.C(0), r.C(1)), r.text); }},
      {"Remove", [](Row& r) { return Edited(r.text.Remove(r.C(0)), r.text); }},
      {"Insert",
       [](Row& r) {
         return Edited(r.args[1].GetLength() == 1 ? r.text.Insert(r.I(0), r.C(1))
                                                  : r.text.Insert(r.I(0), r.P(1)),
                       r.text);
       }},
      {"Delete", [](Row& r) { return Edited(r.text.Delete(r.I(0), r.I(1)), r.text); }},
      {"Tokenize",
       [](Row& r) {
         int start = r.I(1);
         const CString token = r.text.Tokenize(r.P(0), start);
         return token.ToUtf8() + " " + std::to_string(start);
       }},
  };
  auto unescape = [](std::string s) {
    for (const auto& [from, to] : {std::pair{"\\t", "\t"}, {"\\r", "\r"}, {"\\n", "\n"}})
      for (size_t at; (at = s.find(from)) != std::string::npos;) s.replace(at, 2, to);
    return CString::FromUtf8(s);
  };
  for (const auto& cells : testdata::Rows("platform", "cstring_ops.tsv")) {
    ASSERT_GE(cells.size(), 3u);
    Row row{unescape(cells[1]), {}, {}};
    for (size_t i = 2; i + 1 < cells.size(); ++i) {
      row.args.push_back(unescape(cells[i]));
      row.null.push_back(cells[i] == "<null>");
    }
    EXPECT_EQ(ops.at(cells[0])(row), unescape(cells.back()).ToUtf8())
        << cells[0] << " " << cells[1];
  }
}

TEST(CString, Utf8RoundTripAndLoneSurrogates) {
  const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(CString::FromUtf8(utf8).str(), u"a\u00E9\u20AC\U0001F600");
  EXPECT_EQ(CString::FromUtf8(utf8).ToUtf8(), utf8);
  EXPECT_EQ(CString::FromUtf8(std::string_view("a\0b", 3)).ToUtf8(), std::string("a\0b", 3));

  const std::pair<std::string, std::u16string> invalid[] = {
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"\xE2\x82", u"\uFFFD"},                            // truncated at the end
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
  };
  for (const auto& [bytes, want] : invalid) EXPECT_EQ(CString::FromUtf8(bytes).str(), want);
  EXPECT_EQ(CString(u"x\xD800").ToUtf8(), "x\xEF\xBF\xBD");
  // Case mapping keeps lone halves of surrogate pairs in place.
  const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0};
  EXPECT_EQ(CString(lone).MakeUpper().str(), (std::u16string{u'A', 0xD800, u'B', 0xDC00}));
  EXPECT_EQ(CString(u"\xDC00\xD800").ToUtf8(), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace

// CString: formatting against exact texts, index clamping, searching, case
// mapping beyond ASCII, trimming, editing, tokenizing and UTF-8 conversion.
#include "platform/CString.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

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
  EXPECT_EQ(F(u""), u"");
  EXPECT_EQ(F(nullptr), u"");
  EXPECT_EQ(F(u"%200d", 123), std::u16string(197, u' ') + u"123");

  CString s(u"a");
  s.AppendFormat(u"%d-%s", 1, u"b");
  // Arguments may point into the string being formatted.
  s.Format(u"<%s>", s.GetString());
  s.AppendFormat(u"%s", s.GetString());
  EXPECT_EQ(s.str(), u"<a1-b><a1-b>");
}

TEST(CString, ConstructionAndBuffer) {
  EXPECT_TRUE(CString(kNullText).IsEmpty());
  EXPECT_EQ(CString(u"abc", 2).str(), u"ab");
  EXPECT_TRUE(CString(u"abc", -1).IsEmpty());
  EXPECT_EQ(CString(u'x', 3).str(), u"xxx");
  EXPECT_TRUE(CString(u'x', 0).IsEmpty());
  EXPECT_EQ(u16len(nullptr) + u16len(u"abc"), 3u);

  CString s(u"abc");
  char16_t* p = s.GetBuffer(10);
  p[3] = u'd';
  p[4] = u'\0';
  s.ReleaseBuffer();
  EXPECT_EQ(s.str(), u"abcd");
  s.GetBufferSetLength(6)[5] = u'z';
  s.ReleaseBuffer(6);
  EXPECT_EQ(s.str(), std::u16string(u"abcd\0z", 6));
  s.ReleaseBuffer(100);  // longer than the text: nothing changes
  EXPECT_EQ(s.GetLength(), 6);
  s.ReleaseBuffer();
  EXPECT_EQ(s.str(), u"abcd");
}

// Texts that point into the string they change, growth past every inline
// or allocated size, and moved-from strings.
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
    const CString& self = s;
    s = self;
    s.Insert(1, s.GetString());
    EXPECT_EQ(s.str(), e.substr(0, 1) + e + e.substr(1));
    s = seed;
    s.Replace(s.GetString(), s.GetString());
    CString moved(std::move(s));
    EXPECT_EQ(moved.str(), e);
    EXPECT_TRUE(s.IsEmpty());  // NOLINT: moved-from strings are empty
    EXPECT_EQ(s.GetString()[0], u'\0');
    s = std::move(moved);
    CString copy(s);
    copy.SetAt(0, u'#');
    EXPECT_EQ(s.str(), e);  // copies never share a text
  }

  std::u16string expect;
  CString grown;
  for (int i = 0; i < 3000; ++i) {
    grown.AppendChar(static_cast<char16_t>(u'a' + i % 26));
    expect += static_cast<char16_t>(u'a' + i % 26);
    ASSERT_EQ(grown.GetString()[grown.GetLength()], u'\0');
  }
  EXPECT_EQ(grown.str(), expect);
  grown.Delete(1, 2990);
  EXPECT_EQ(grown.str(), expect.substr(0, 1) + expect.substr(2991));
  grown = CString(std::u16string_view());  // null data, no units
  EXPECT_EQ(grown, CString());
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
  EXPECT_EQ(CString(u"ab") + u'c' + CString(u"de") + u"f", CString(u"abcdef"));
  EXPECT_EQ(std::hash<CString>()(CString(u"abc")), std::hash<CString>()(CString(u"ab") + u"c"));
  // Equal lengths, different units after a zero.
  EXPECT_LT(CString(u"a\0b", 3), CString(u"a\0c", 3));
}

TEST(CString, SubstringsClampTheirIndexes) {
  const CString s(u"abcdef");
  const std::pair<CString, const char16_t*> cases[] = {
      {s.Mid(-1), u"abcdef"},
      {s.Mid(2), u"cdef"},
      {s.Mid(6), u""},
      {s.Mid(7), u""},
      {s.Mid(1, 2), u"bc"},
      {s.Mid(4, 10), u"ef"},
      {s.Mid(-3, 2), u"ab"},
      {s.Mid(2, -1), u""},
      {s.Mid(1, INT_MAX), u"bcdef"},
      {s.Mid(INT_MAX, 1), u""},
      {s.Left(-1), u""},
      {s.Left(0), u""},
      {s.Left(3), u"abc"},
      {s.Left(99), u"abcdef"},
      {s.Right(-2), u""},
      {s.Right(2), u"ef"},
      {s.Right(99), u"abcdef"},
      {CString().Mid(0, 1), u""},
      {s.SpanIncluding(u"cba"), u"abc"},
      {s.SpanIncluding(u"z"), u""},
      {s.SpanIncluding(nullptr), u""},
      {s.SpanExcluding(u"ed"), u"abc"},
      {s.SpanExcluding(u""), u"abcdef"},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(cases[i].first.str(), cases[i].second) << i;
}

TEST(CString, FindEdges) {
  const CString s(u"abcabc");
  const std::pair<int, int> cases[] = {
      {s.Find(u'c'), 2},
      {s.Find(u'c', 3), 5},
      {s.Find(u'c', 6), -1},
      {s.Find(u'c', -1), -1},
      {s.Find(u'z'), -1},
      {s.Find(u"bc", 2), 4},
      {s.Find(u"", 6), 6},
      {s.Find(u"", 7), -1},
      {s.Find(u"abcd"), -1},
      {s.Find(u"c", -2), -1},
      {s.ReverseFind(u'a'), 3},
      {s.ReverseFind(u'z'), -1},
      {s.FindOneOf(u"xc"), 2},
      {s.FindOneOf(u""), -1},
      {s.FindOneOf(nullptr), -1},
      {CString().Find(u'a'), -1},
      {CString().ReverseFind(u'a'), -1},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

TEST(CString, CaseMappingAndComparison) {
  const struct {
    const char16_t *text, *lower, *upper;
  } cases[] = {
      {u"\u00C4\u00D6\u00DC x", u"\u00E4\u00F6\u00FC x", u"\u00C4\u00D6\u00DC X"},
      {u"\u0391\u03B2\u03C2", u"\u03B1\u03B2\u03C2", u"\u0391\u0392\u03A3"},  // final sigma
      {u"stra\u00DFe", u"stra\u00DFe", u"STRA\u00DFE"},  // no one-to-many mapping
      {u"\U00010400y\U00010428", u"\U00010428y\U00010428", u"\U00010400Y\U00010400"},
      {u"a\xD800"
       u"b\xDC00",
       u"a\xD800"
       u"b\xDC00",
       u"A\xD800"
       u"B\xDC00"},  // lone halves
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CString(c.text).MakeLower().str(), c.lower);
    EXPECT_EQ(CString(c.text).MakeUpper().str(), c.upper);
  }
  EXPECT_EQ(CString(u"ab\U00010400c").MakeReverse().str(), u"c\U00010400ba");

  const struct {
    const char16_t *a, *b;
    int exact, noCase;
  } orders[] = {
      {u"abc", u"abc", 0, 0},
      {u"abc", u"ABC", 1, 0},
      {u"a", u"B", 1, -1},
      {u"ab", u"A", 1, 1},
      {u"", nullptr, 0, 0},
      {u"\u03A3\u0391\u03A3", u"\u03C3\u03B1\u03C2", -1, 0},
      {u"\U00010400", u"\U00010428", -1, 0},
      {u"\uFF41", u"\U00010428", 1, 1},  // code unit order, as Compare
      {u"stra\u00DFe", u"STRASSE", 1, 1},
  };
  for (const auto& o : orders) {
    EXPECT_EQ(CString(o.a).Compare(o.b), o.exact) << CString(o.a).ToUtf8();
    EXPECT_EQ(CString(o.a).CompareNoCase(o.b), o.noCase) << CString(o.a).ToUtf8();
  }
}

TEST(CString, Trim) {
  const char16_t* spaced = u"\u00A0\u3000 \t x y \u2003\n";
  EXPECT_EQ(CString(spaced).Trim().str(), u"x y");
  EXPECT_EQ(CString(spaced).TrimLeft().str(), u"x y \u2003\n");
  EXPECT_EQ(CString(spaced).TrimRight().str(), u"\u00A0\u3000 \t x y");
  EXPECT_EQ(CString(u" \t\r\n").Trim().str(), u"");
  EXPECT_EQ(CString(u"xxaxx").Trim(u'x').str(), u"a");
  EXPECT_EQ(CString(u"xxaxx").TrimLeft(u'x').str(), u"axx");
  EXPECT_EQ(CString(u"xxxx").TrimRight(u'x').str(), u"");
  EXPECT_EQ(CString(u"abcba").Trim(u"ab").str(), u"c");
  EXPECT_EQ(CString(u"abcba").TrimRight(u"ab").str(), u"abc");
  EXPECT_EQ(CString(u" a ").Trim(kNullText).str(), u" a ");
}

TEST(CString, ReplaceRemoveInsertDelete) {
  CString s(u"aaaa");
  EXPECT_EQ(s.Replace(u"aa", u"b"), 2);
  EXPECT_EQ(s.Replace(u"", u"x") + s.Replace(kNullText, u"x") + s.Replace(u'b', u'b'), 0);
  EXPECT_EQ(s.str(), u"bb");
  s = u"aba";
  EXPECT_EQ(s.Replace(u"a", u"aa"), 2);
  EXPECT_EQ(s.str(), u"aabaa");
  s = u"banana";
  EXPECT_EQ(s.Replace(u'a', u'o'), 3);
  EXPECT_EQ(s.Replace(u"no", kNullText), 2);
  EXPECT_EQ(s.str(), u"bo");
  s = u"banana";
  EXPECT_EQ(s.Replace(s.GetString() + 4, u"-"), 2);  // `from` inside the string itself
  EXPECT_EQ(s.str(), u"ba--");
  s = u"banana";
  EXPECT_EQ(s.Remove(u'a'), 3);
  EXPECT_EQ(s.str(), u"bnn");

  s = u"ab";
  EXPECT_EQ(s.Insert(-5, u'x'), 3);
  EXPECT_EQ(s.Insert(99, u"yz"), 5);
  EXPECT_EQ(s.Insert(1, kNullText), 5);
  EXPECT_EQ(s.str(), u"xabyz");
  EXPECT_EQ(s.Delete(1, 2), 3);
  EXPECT_EQ(s.str(), u"xyz");
  EXPECT_EQ(s.Delete(-1), 2);
  EXPECT_EQ(s.Delete(0, -1), 2);
  EXPECT_EQ(s.Delete(5), 2);
  EXPECT_EQ(s.Delete(1, INT_MAX), 1);
  EXPECT_EQ(s.str(), u"y");
}

TEST(CString, TokenizeSequence) {
  // Text, delimiters, then each token and the next start it leaves.
  const struct {
    const char16_t *text, *delims;
    std::vector<std::pair<const char16_t*, int>> steps;
  } cases[] = {
      {u",a,,b;c;;", u",;", {{u"a", 3}, {u"b", 6}, {u"c", 8}, {u"", -1}, {u"", -1}}},
      {u"a,b", u",", {{u"a", 2}, {u"b", 4}, {u"", -1}}},
      {u",,,", u",", {{u"", -1}}},
      {u"", u",", {{u"", -1}}},
      {u"ab", u"", {{u"ab", 2}, {u"", -1}}},
  };
  for (const auto& c : cases) {
    int start = 0;
    for (const auto& [token, next] : c.steps) {
      EXPECT_EQ(CString(c.text).Tokenize(c.delims, start).str(), token) << CString(c.text).ToUtf8();
      EXPECT_EQ(start, next) << CString(c.text).ToUtf8();
    }
  }
}

TEST(CString, Utf8RoundTripAndInvalidInput) {
  const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(CString::FromUtf8(utf8).str(), u"a\u00E9\u20AC\U0001F600");
  EXPECT_EQ(CString::FromUtf8(utf8).ToUtf8(), utf8);
  EXPECT_EQ(CString::FromUtf8(std::string_view("a\0b", 3)).ToUtf8(), std::string("a\0b", 3));

  const std::pair<std::string, std::u16string> invalid[] = {
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"\xE2\x82", u"\uFFFD"},  // truncated at the end
      {"\xE2\x82x", u"\uFFFDx"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\x80", u"\uFFFD"},
  };
  for (const auto& [bytes, want] : invalid) EXPECT_EQ(CString::FromUtf8(bytes).str(), want);
  EXPECT_EQ(CString(u"x\xD800").ToUtf8(), "x\xEF\xBF\xBD");
  EXPECT_EQ(CString(u"\xDC00\xD800").ToUtf8(), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace

// Escapes, unified resource identifiers and SQL quoting. They run over every
// text of a project, so each builds its result in one allocation and texts
// that need no change are handed back untouched.
#include "text/TextUtil.h"

#include <array>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

// The escape table, in the order in which escapes are looked up.
struct Escape {
  char16_t ch;
  char16_t letter;
};
constexpr Escape kEscapes[] = {
    {0x07, u'a'}, {0x08, u'b'}, {0x0C, u'f'}, {0x0A, u'n'},
    {0x0D, u'r'}, {0x09, u't'}, {0x0B, u'v'},
};

// The escaped characters happen to be exactly 0x07..0x0D, which turns the
// lookup on the hot path into one range test and an index.
constexpr char16_t kFirstEscaped = 0x07;
constexpr size_t kEscapedCount = 7;
static_assert(std::size(kEscapes) == kEscapedCount, "one letter per escaped character");

constexpr std::array<char16_t, kEscapedCount> MakeLetters() {
  std::array<char16_t, kEscapedCount> letters{};
  for (const Escape& e : kEscapes) letters[e.ch - kFirstEscaped] = e.letter;
  return letters;
}
constexpr std::array<char16_t, kEscapedCount> kLetterOf = MakeLetters();

bool IsEscapedControl(char16_t c) {
  return static_cast<unsigned>(c - kFirstEscaped) < kEscapedCount;
}

bool NeedsEscape(char16_t c) { return c == u'\\' || IsEscapedControl(c); }

// The control character an escape letter stands for, or the letter itself.
char16_t Unescape(char16_t letter) {
  for (const Escape& e : kEscapes) {
    if (e.letter == letter) return e.ch;
  }
  return letter;
}

size_t CountEscapes(std::u16string_view in) {
  size_t count = 0;
  for (const char16_t c : in) count += NeedsEscape(c) ? 1 : 0;
  return count;
}

// Appends `in` with every escape shown. Doubling the backslashes first and
// then replacing the control characters one after the other gives the same
// text, because no replacement produces a character a later one would touch.
void AppendEscaped(std::u16string& out, std::u16string_view in) {
  size_t begin = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    const char16_t c = in[i];
    if (!NeedsEscape(c)) continue;
    out.append(in.data() + begin, i - begin);
    out += u'\\';
    out += c == u'\\' ? u'\\' : kLetterOf[c - kFirstEscaped];
    begin = i + 1;
  }
  out.append(in.data() + begin, in.size() - begin);
}

// Appends `in` with its escapes resolved; never longer than `in`.
void AppendUnescaped(std::u16string& out, std::u16string_view in) {
  const size_t n = in.size();
  size_t i = 0;
  while (i < n) {
    size_t run = in.find(u'\\', i);
    if (run == std::u16string_view::npos) run = n;
    out.append(in.data() + i, run - i);
    size_t end = run;
    while (end < n && in[end] == u'\\') ++end;
    const size_t k = end - run;
    out.append(k / 2, u'\\');
    i = end;
    if (k % 2 == 1 && i < n) out += Unescape(in[i++]);
  }
}

std::u16string_view ViewOf(const char16_t* s) {
  return s ? std::u16string_view(s) : std::u16string_view();
}

// What _wtoi64 gives for `s`, truncated to 32 bits. Overflow saturates at the
// 64-bit limits as _wtoi64 does; the truncation then yields 0xFFFFFFFF for a
// too large and 0 for a too small value. Only ASCII white space is skipped,
// identifiers never carry any other.
uint32_t ParseNumber(const char16_t* s) {
  if (!s) return 0;
  while (*s == u' ' || (*s >= u'\t' && *s <= u'\r')) ++s;
  bool negative = false;
  if (*s == u'+' || *s == u'-') {
    negative = *s == u'-';
    ++s;
  }
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t magnitude = 0;
  for (; *s >= u'0' && *s <= u'9'; ++s) {
    const unsigned digit = static_cast<unsigned>(*s - u'0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  // Unsigned negation keeps the low bits of the two's complement value.
  return static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
}

void AppendDecimal(std::u16string& out, uint32_t value) {
  char16_t digits[10];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) out += digits[--count];
}

CString Decimal(char16_t prefix, uint32_t value) {
  std::u16string out;
  out.reserve(11);
  if (prefix) out += prefix;
  AppendDecimal(out, value);
  return CString(std::move(out));
}

// The unified identifier "@" + `name`.
CString Named(std::u16string_view name) {
  std::u16string out;
  out.reserve(name.size() + 1);
  out += u'@';
  out += name;
  return CString(std::move(out));
}

bool StartsWith(const char16_t* s, char16_t c) { return s && s[0] == c; }

std::u16string_view NameOf(const char16_t* unified) {
  std::u16string_view name = ViewOf(unified);
  if (StartsWith(unified, u'@')) name.remove_prefix(1);
  return name;
}

CString KeepFormattingSymbols(CString s) { return s; }

}  // namespace

CString ShowEscapeCodes(CString s) {
  const size_t extra = CountEscapes(s.view());
  if (extra == 0) return s;
  std::u16string out;
  out.reserve(s.view().size() + extra);
  AppendEscaped(out, s.view());
  return CString(std::move(out));
}

CString HideEscapeCodes(CString s) {
  if (s.view().find(u'\\') == std::u16string_view::npos) return s;
  std::u16string out;
  out.reserve(s.view().size());
  AppendUnescaped(out, s.view());
  return CString(std::move(out));
}

CString ShowFormattingSymols(CString s) { return KeepFormattingSymbols(std::move(s)); }
CString HideFormattingSymbols(CString s) { return KeepFormattingSymbols(std::move(s)); }

CString StrToGuiStr(const CString& unified) {
  if (StartsWith(unified, u'#')) return CString();
  return ShowEscapeCodes(StrFromUnified(unified));
}

CString GuiStrToStr(const CString& text) { return Named(HideEscapeCodes(text).view()); }

CString DuplicateSpecChar(const char16_t* s) {
  const std::u16string_view in = ViewOf(s);
  size_t quotes = 0;
  for (const char16_t c : in) quotes += c == u'\'' ? 1 : 0;
  std::u16string out;
  out.reserve(in.size() + quotes);
  for (const char16_t c : in) {
    out += c;
    if (c == u'\'') out += c;
  }
  return CString(std::move(out));
}

CString ToUnifiedFmt(const char16_t* res) {
  if (IS_INTRESOURCE(res)) return Decimal(u'#', IntResourceNumber(res));
  return Named(res);
}

CString ToUnifiedFmt(unsigned long id) { return Decimal(u'#', static_cast<uint32_t>(id)); }

CString Res2Unified(const char16_t* res) {
  if (IS_INTRESOURCE(res)) return ToUnifiedFmt(static_cast<unsigned long>(IntResourceNumber(res)));
  return ToUnifiedFmt(res);
}

void Unified2Res(const CString& unified, char16_t*& res) {
  if (StartsWith(unified, u'#')) {
    res = MAKEINTRESOURCE(NumFromUnified(unified));
    return;
  }
  const std::u16string_view name = NameOf(unified);
  char16_t* copy = new char16_t[name.size() + 1];
  std::memcpy(copy, name.data(), name.size() * sizeof(char16_t));
  copy[name.size()] = 0;
  res = copy;
}

bool IsStrUnified(const char16_t* s) { return !StartsWith(s, u'#'); }

CString StrFromUnified(const char16_t* s) { return CString(NameOf(s)); }

unsigned long NumFromUnified(const char16_t* s) {
  // An empty text has nothing after its first character to read.
  if (!s || !s[0]) return 0;
  return ParseNumber(s + 1);
}

bool IdFromString(const char16_t* s, unsigned long& id) {
  if (!StartsWith(s, u'#')) return false;
  id = ParseNumber(s + 1);
  return true;
}

CString ResIdToGui(const CString& unified) {
  if (StartsWith(unified, u'#')) return Decimal(0, ParseNumber(unified.GetString() + 1));
  return CString(NameOf(unified));
}

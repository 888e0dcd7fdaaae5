// CString's out-of-line members: UTF-8 conversion, searching, case mapping,
// trimming, editing, tokenizing and the printf-style formatter. Indexes follow
// MFC's clamping rules, so no member throws for an index out of range.
#include "platform/CString.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

size_t Clamp(int value, size_t limit) {
  if (value <= 0) return 0;
  return std::min(static_cast<size_t>(value), limit);
}

bool InSet(const char16_t* set, char16_t ch) {
  if (!set) return false;
  for (; *set; ++set) {
    if (*set == ch) return true;
  }
  return false;
}

bool IsSpace(char16_t ch) {
  // Every White_Space character is in the BMP, so code units suffice.
  return u_isUWhiteSpace(ch) != 0;
}

// Appends UTF-8 as UTF-16, each ill-formed sequence becoming U+FFFD. One
// UTF-8 byte never yields more than one UTF-16 unit, so the byte count is a
// safe capacity and the conversion runs in place at the end of `out`.
void AppendUtf8(std::u16string& out, std::string_view utf8) {
  // ICU counts in int32_t; split huge inputs before a lead byte.
  constexpr size_t kChunk = size_t{1} << 30;
  while (!utf8.empty()) {
    size_t take = utf8.size();
    if (take > kChunk) {
      take = kChunk;
      for (int back = 0; back < 3 && (static_cast<unsigned char>(utf8[take]) & 0xC0) == 0x80;
           ++back) {
        --take;
      }
    }
    const size_t base = out.size();
    out.resize(base + take);
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(&out[base], static_cast<int32_t>(take), &written, utf8.data(),
                         static_cast<int32_t>(take), kReplacement, nullptr, &status);
    out.resize(U_FAILURE(status) ? base : base + static_cast<size_t>(written));
    utf8.remove_prefix(take);
  }
}

int CompareUnits(std::u16string_view a, std::u16string_view b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Maps every code point through `map`, in place while the encoded length stays
// the same (always, in practice), rebuilding the rest otherwise.
template <typename Map>
void MapCodePoints(std::u16string& s, Map map) {
  const int32_t length = static_cast<int32_t>(s.size());
  int32_t i = 0;
  while (i < length) {
    const int32_t start = i;
    UChar32 c;
    U16_NEXT(s.data(), i, length, c);
    const UChar32 mapped = map(c);
    if (mapped == c) continue;
    if (U16_LENGTH(mapped) == i - start) {
      int32_t at = start;
      U16_APPEND_UNSAFE(&s[0], at, mapped);
      continue;
    }
    std::u16string rebuilt(s, 0, static_cast<size_t>(start));
    rebuilt.reserve(s.size() + 1);
    char16_t units[2];
    int32_t n = 0;
    U16_APPEND_UNSAFE(units, n, mapped);
    rebuilt.append(units, static_cast<size_t>(n));
    while (i < length) {
      U16_NEXT(s.data(), i, length, c);
      n = 0;
      U16_APPEND_UNSAFE(units, n, map(c));
      rebuilt.append(units, static_cast<size_t>(n));
    }
    s.swap(rebuilt);
    return;
  }
}

// ---- printf-style formatting ----

enum class Length { kNone, kHH, kH, kL, kLL, kBigL, kSize, kMax, kPtrDiff, kI32 };

struct Directive {
  bool left = false;
  bool plus = false;
  bool space = false;
  bool zero = false;
  bool alt = false;
  int width = 0;
  int precision = -1;  // -1: none given
  Length length = Length::kNone;
  char16_t conversion = 0;
};

int ParseCount(const char16_t*& p) {
  long long value = 0;
  while (*p >= u'0' && *p <= u'9') {
    value = std::min<long long>(value * 10 + (*p - u'0'), INT_MAX);
    ++p;
  }
  return static_cast<int>(value);
}

void Widen(std::u16string& out, const char* text, size_t length) {
  const size_t base = out.size();
  out.resize(base + length);
  for (size_t i = 0; i < length; ++i) out[base + i] = static_cast<unsigned char>(text[i]);
}

// Pads what was appended since `start` up to the field width.
void Pad(std::u16string& out, size_t start, const Directive& dir, bool zeroAllowed) {
  const size_t used = out.size() - start;
  const size_t width = static_cast<size_t>(dir.width);
  if (used >= width) return;
  if (dir.left) {
    out.append(width - used, u' ');
  } else {
    out.insert(start, width - used, dir.zero && zeroAllowed ? u'0' : u' ');
  }
}

// Runs snprintf for one numeric conversion with the same flags, width and
// precision, then widens the ASCII result.
template <typename T>
void AppendNumber(std::u16string& out, const Directive& dir, const char* lengthMod, char conv,
                  T value) {
  char fmt[48];
  char* f = fmt;
  *f++ = '%';
  if (dir.left) *f++ = '-';
  if (dir.plus) *f++ = '+';
  if (dir.space) *f++ = ' ';
  if (dir.zero) *f++ = '0';
  if (dir.alt) *f++ = '#';
  int n = static_cast<int>(f - fmt);
  if (dir.width > 0) {
    n += std::snprintf(fmt + n, sizeof(fmt) - static_cast<size_t>(n), "%d", dir.width);
  }
  if (dir.precision >= 0) {
    n += std::snprintf(fmt + n, sizeof(fmt) - static_cast<size_t>(n), ".%d", dir.precision);
  }
  std::snprintf(fmt + n, sizeof(fmt) - static_cast<size_t>(n), "%s%c", lengthMod, conv);

  char local[128];
  const int needed = std::snprintf(local, sizeof(local), fmt, value);
  if (needed < 0) return;  // beyond INT_MAX characters: nothing sensible to print
  if (static_cast<size_t>(needed) < sizeof(local)) {
    Widen(out, local, static_cast<size_t>(needed));
    return;
  }
  std::string big(static_cast<size_t>(needed) + 1, '\0');
  std::snprintf(&big[0], big.size(), fmt, value);
  Widen(out, big.data(), static_cast<size_t>(needed));
}

void AppendText(std::u16string& out, const Directive& dir, const char16_t* text) {
  if (!text) text = u"(null)";
  size_t length = u16len(text);
  if (dir.precision >= 0 && static_cast<size_t>(dir.precision) < length) {
    length = static_cast<size_t>(dir.precision);
    // Never leave half of a surrogate pair behind.
    if (length > 0 && U16_IS_LEAD(text[length - 1]) && U16_IS_TRAIL(text[length])) --length;
  }
  const size_t start = out.size();
  out.append(text, length);
  Pad(out, start, dir, true);
}

void AppendNarrowText(std::u16string& out, const Directive& dir, const char* text) {
  if (!text) {
    AppendText(out, dir, nullptr);
    return;
  }
  const size_t start = out.size();
  AppendUtf8(out, text);
  if (dir.precision >= 0 && static_cast<size_t>(dir.precision) < out.size() - start) {
    size_t keep = static_cast<size_t>(dir.precision);
    if (keep > 0 && U16_IS_LEAD(out[start + keep - 1]) && U16_IS_TRAIL(out[start + keep])) --keep;
    out.resize(start + keep);
  }
  Pad(out, start, dir, true);
}

void AppendChar(std::u16string& out, const Directive& dir, char16_t ch) {
  const size_t start = out.size();
  out += ch;
  Pad(out, start, dir, true);
}

long long SignedArg(Length length, va_list& args) {
  switch (length) {
    case Length::kHH:
      return static_cast<signed char>(va_arg(args, int));
    case Length::kH:
      return static_cast<short>(va_arg(args, int));
    case Length::kL:
      return va_arg(args, long);
    case Length::kLL:
      return va_arg(args, long long);
    case Length::kSize:
    case Length::kPtrDiff:
      return va_arg(args, ptrdiff_t);
    case Length::kMax:
      return va_arg(args, intmax_t);
    default:
      return va_arg(args, int);
  }
}

unsigned long long UnsignedArg(Length length, va_list& args) {
  switch (length) {
    case Length::kHH:
      return static_cast<unsigned char>(va_arg(args, unsigned int));
    case Length::kH:
      return static_cast<unsigned short>(va_arg(args, unsigned int));
    case Length::kL:
      return va_arg(args, unsigned long);
    case Length::kLL:
      return va_arg(args, unsigned long long);
    case Length::kSize:
    case Length::kPtrDiff:
      return va_arg(args, size_t);
    case Length::kMax:
      return va_arg(args, uintmax_t);
    default:
      return va_arg(args, unsigned int);
  }
}

// Reads flags, width, precision and length of the directive after '%'.
// Leaves `p` on the conversion character.
Directive ParseDirective(const char16_t*& p, va_list& args) {
  Directive dir;
  for (;; ++p) {
    if (*p == u'-') {
      dir.left = true;
    } else if (*p == u'+') {
      dir.plus = true;
    } else if (*p == u' ') {
      dir.space = true;
    } else if (*p == u'0') {
      dir.zero = true;
    } else if (*p == u'#') {
      dir.alt = true;
    } else {
      break;
    }
  }
  if (*p == u'*') {
    ++p;
    const long long width = va_arg(args, int);
    if (width < 0) dir.left = true;
    dir.width = static_cast<int>(std::min<long long>(width < 0 ? -width : width, INT_MAX));
  } else {
    dir.width = ParseCount(p);
  }
  if (*p == u'.') {
    ++p;
    if (*p == u'*') {
      ++p;
      const int precision = va_arg(args, int);
      dir.precision = precision < 0 ? -1 : precision;
    } else {
      dir.precision = ParseCount(p);
    }
  }
  switch (*p) {
    case u'h':
      ++p;
      dir.length = Length::kH;
      if (*p == u'h') {
        ++p;
        dir.length = Length::kHH;
      }
      break;
    case u'l':
      ++p;
      dir.length = Length::kL;
      if (*p == u'l') {
        ++p;
        dir.length = Length::kLL;
      }
      break;
    case u'w':  // MSVC's spelling of "wide" for %c and %s
      ++p;
      dir.length = Length::kL;
      break;
    case u'L':
      ++p;
      dir.length = Length::kBigL;
      break;
    case u'z':
      ++p;
      dir.length = Length::kSize;
      break;
    case u'j':
      ++p;
      dir.length = Length::kMax;
      break;
    case u't':
      ++p;
      dir.length = Length::kPtrDiff;
      break;
    case u'I':
      if (p[1] == u'6' && p[2] == u'4') {
        p += 3;
        dir.length = Length::kLL;
      } else if (p[1] == u'3' && p[2] == u'2') {
        p += 3;
        dir.length = Length::kI32;
      } else {
        ++p;
        dir.length = Length::kSize;
      }
      break;
    default:
      break;
  }
  dir.conversion = *p;
  return dir;
}

void FormatInto(std::u16string& out, const char16_t* format, va_list& args) {
  if (!format) return;
  const char16_t* p = format;
  while (*p) {
    const char16_t* text = p;
    while (*p && *p != u'%') ++p;
    out.append(text, static_cast<size_t>(p - text));
    if (!*p) break;
    const char16_t* percent = p++;
    if (*p == u'%') {
      out += u'%';
      ++p;
      continue;
    }
    const Directive dir = ParseDirective(p, args);
    const bool wide = dir.length == Length::kL;
    const bool narrow = dir.length == Length::kH;
    switch (dir.conversion) {
      case u'd':
      case u'i':
        AppendNumber(out, dir, "ll", 'd', SignedArg(dir.length, args));
        break;
      case u'u':
      case u'x':
      case u'X':
      case u'o':
        AppendNumber(out, dir, "ll", static_cast<char>(dir.conversion),
                     UnsignedArg(dir.length, args));
        break;
      case u'f':
      case u'F':
      case u'e':
      case u'E':
      case u'g':
      case u'G':
      case u'a':
      case u'A':
        if (dir.length == Length::kBigL) {
          AppendNumber(out, dir, "L", static_cast<char>(dir.conversion), va_arg(args, long double));
        } else {
          AppendNumber(out, dir, "", static_cast<char>(dir.conversion), va_arg(args, double));
        }
        break;
      case u'p': {
        // As on Windows: every hex digit of the pointer, upper case, no "0x".
        Directive digits;
        digits.zero = true;
        digits.width = static_cast<int>(2 * sizeof(void*));
        const size_t start = out.size();
        AppendNumber(
            out, digits, "ll", 'X',
            static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(va_arg(args, void*))));
        Pad(out, start, dir, false);
        break;
      }
      case u'c':
      case u'C': {
        // Wide printf: %c is a UTF-16 unit and %C a narrow char; h and l force either.
        const unsigned int value = va_arg(args, unsigned int);
        const bool isNarrow = narrow || (dir.conversion == u'C' && !wide);
        char16_t ch = static_cast<char16_t>(value);
        if (isNarrow) {
          const unsigned char byte = static_cast<unsigned char>(value);
          ch = byte < 0x80 ? byte : kReplacement;
        }
        AppendChar(out, dir, ch);
        break;
      }
      case u's':
      case u'S':
        if (narrow || (dir.conversion == u'S' && !wide)) {
          AppendNarrowText(out, dir, va_arg(args, const char*));
        } else {
          AppendText(out, dir, va_arg(args, const char16_t*));
        }
        break;
      default:
        // Unknown or truncated directive: show it as written, consume nothing.
        if (*p) ++p;
        out.append(percent, static_cast<size_t>(p - percent));
        continue;
    }
    ++p;
  }
}

}  // namespace

size_t u16len(const char16_t* text) { return text ? std::char_traits<char16_t>::length(text) : 0; }

// ---- storage ----

namespace {

// Lengths are ints in the interface; the capacity's high half has 15 bits.
constexpr size_t kMaxLength = 0x3FFFFFF0;

}  // namespace

void CString::Empty() noexcept {
  Release();
  SetEmpty();
}

void CString::MoveToHeap(size_t capacity) {
  if (capacity > kMaxLength) throw std::length_error("CString: text too long");
  const size_t length = Size();
  auto* text = static_cast<char16_t*>(::operator new((capacity + 1) * sizeof(char16_t)));
  std::memcpy(text, Data(), length * sizeof(char16_t));
  text[length] = 0;
  Release();
  std::memcpy(units_, &text, sizeof text);
  const uint32_t n = static_cast<uint32_t>(length);
  std::memcpy(units_ + 4, &n, sizeof n);
  units_[6] = static_cast<char16_t>(capacity & 0xFFFF);
  units_[7] = static_cast<char16_t>(kHeapMark | (capacity >> 16));
}

void CString::AssignUnits(const char16_t* text, size_t length) {
  if (length <= Capacity()) {
    // An empty view may carry a null pointer, which memmove must not see.
    if (length != 0) std::memmove(Data(), text, length * sizeof(char16_t));
    SetSize(length);
    return;
  }
  CString fresh;  // `text` may lie in the text this replaces
  fresh.MoveToHeap(length);
  std::memcpy(fresh.Data(), text, length * sizeof(char16_t));
  fresh.SetSize(length);
  *this = std::move(fresh);
}

void CString::AppendUnits(const char16_t* text, size_t length) {
  if (length == 0) return;
  const size_t old = Size();
  if (length > kMaxLength - old) throw std::length_error("CString: text too long");
  const size_t needed = old + length;
  if (needed <= Capacity()) {
    std::memcpy(Data() + old, text, length * sizeof(char16_t));
    SetSize(needed);
    return;
  }
  // A text that outgrows its room is likely to grow again: leave it some.
  CString grown;  // `text` may lie in this text, which must outlive the copy
  grown.MoveToHeap(OnHeap() ? std::min(kMaxLength, needed + needed / 2 + 8) : needed);
  std::memcpy(grown.Data(), Data(), old * sizeof(char16_t));
  std::memcpy(grown.Data() + old, text, length * sizeof(char16_t));
  grown.SetSize(needed);
  *this = std::move(grown);
}

void CString::SetUnits(const void* bytes, int count) {
  const size_t length = count > 0 ? static_cast<size_t>(count) : 0;
  if (length > Capacity()) {
    // Exactly the room needed: texts read from files are rarely changed.
    Release();
    SetEmpty();
    MoveToHeap(length);
  }
  if (length != 0) std::memcpy(Data(), bytes, length * sizeof(char16_t));
  SetSize(length);
}

void CString::Resize(size_t length) {
  const size_t old = Size();
  Reserve(length);
  if (length > old) std::memset(Data() + old, 0, (length - old) * sizeof(char16_t));
  SetSize(length);
}

CString CString::Concat(std::u16string_view a, std::u16string_view b) {
  CString result;
  result.Reserve(a.size() + b.size());
  result.AppendUnits(a.data(), a.size());
  result.AppendUnits(b.data(), b.size());
  return result;
}

CString::CString(const CString& other) {
  if (other.OnHeap()) {
    SetEmpty();
    AssignUnits(other.HeapText(), other.Size());
  } else {
    std::memcpy(units_, other.units_, sizeof units_);
  }
}

CString& CString::operator=(const CString& other) {
  if (this != &other) AssignUnits(other.Data(), other.Size());
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    Release();
    std::memcpy(units_, other.units_, sizeof units_);
    other.SetEmpty();
  }
  return *this;
}

// ---- members ----

CString::CString(const char16_t* text) : CString() {
  if (text) AssignUnits(text, u16len(text));
}

CString::CString(const char16_t* text, int length) : CString() {
  if (text && length > 0) AssignUnits(text, static_cast<size_t>(length));
}

CString::CString(char16_t ch, int repeat) : CString() {
  if (repeat <= 0) return;
  Resize(static_cast<size_t>(repeat));
  std::fill(Data(), Data() + repeat, ch);
}

CString::CString(std::u16string_view text) : CString() {
  AssignUnits(text.data(), text.size());
}

CString CString::FromUtf8(std::string_view utf8) {
  std::u16string text;
  AppendUtf8(text, utf8);
  return CString(std::u16string_view(text));
}

std::string CString::ToUtf8() const {
  // Exact size first, so the result carries no slack; unpaired surrogates
  // become U+FFFD (three bytes, like any other BMP unit above U+07FF).
  const std::u16string_view s = view();
  const size_t n = s.size();
  size_t bytes = 0;
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = s[i];
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (U16_IS_LEAD(c) && i + 1 < n && U16_IS_TRAIL(s[i + 1])) {
      bytes += 4;
      ++i;
    } else {
      bytes += 3;
    }
  }
  std::string out(bytes, '\0');
  char* o = &out[0];
  auto put = [&o](uint32_t byte) { *o++ = static_cast<char>(byte); };
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = s[i];
    if (c < 0x80) {
      put(c);
    } else if (c < 0x800) {
      put(0xC0 | (c >> 6));
      put(0x80 | (c & 0x3F));
    } else if (U16_IS_LEAD(c) && i + 1 < n && U16_IS_TRAIL(s[i + 1])) {
      c = U16_GET_SUPPLEMENTARY(c, s[i + 1]);
      ++i;
      put(0xF0 | (c >> 18));
      put(0x80 | ((c >> 12) & 0x3F));
      put(0x80 | ((c >> 6) & 0x3F));
      put(0x80 | (c & 0x3F));
    } else {
      if (U16_IS_SURROGATE(c)) c = kReplacement;
      put(0xE0 | (c >> 12));
      put(0x80 | ((c >> 6) & 0x3F));
      put(0x80 | (c & 0x3F));
    }
  }
  return out;
}

CString& CString::operator=(const char16_t* text) {
  AssignUnits(text ? text : u"", u16len(text));  // safe even when `text` points into this
  return *this;
}

CString& CString::operator=(char16_t ch) {
  AssignUnits(&ch, 1);
  return *this;
}

CString& CString::operator+=(const char16_t* text) {
  if (text) AppendUnits(text, u16len(text));
  return *this;
}

void CString::Append(const char16_t* text, int length) {
  if (text && length > 0) AppendUnits(text, static_cast<size_t>(length));
}

int CString::Compare(const char16_t* other) const {
  return CompareUnits(view(), std::u16string_view(other ? other : u""));
}

int CString::CompareNoCase(const char16_t* other) const {
  if (!other) other = u"";
  const int32_t lengthA = GetLength();
  const int32_t lengthB = static_cast<int32_t>(u16len(other));
  int32_t i = 0;
  int32_t j = 0;
  while (i < lengthA && j < lengthB) {
    UChar32 a;
    UChar32 b;
    U16_NEXT(Data(), i, lengthA, a);
    U16_NEXT(other, j, lengthB, b);
    a = u_foldCase(a, U_FOLD_CASE_DEFAULT);
    b = u_foldCase(b, U_FOLD_CASE_DEFAULT);
    if (a == b) continue;
    // Order like Compare: by the UTF-16 units of the folded characters.
    char16_t unitsA[2];
    char16_t unitsB[2];
    int32_t na = 0;
    int32_t nb = 0;
    U16_APPEND_UNSAFE(unitsA, na, a);
    U16_APPEND_UNSAFE(unitsB, nb, b);
    return CompareUnits({unitsA, static_cast<size_t>(na)}, {unitsB, static_cast<size_t>(nb)});
  }
  if (i < lengthA) return 1;
  return j < lengthB ? -1 : 0;
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  const size_t from = Clamp(first, Size());
  return CString(view().substr(from, Clamp(count, Size() - from)));
}

CString CString::Left(int count) const { return CString(view().substr(0, Clamp(count, Size()))); }

CString CString::Right(int count) const {
  const size_t n = Clamp(count, Size());
  return CString(view().substr(Size() - n));
}

CString CString::SpanIncluding(const char16_t* set) const {
  size_t n = 0;
  while (n < Size() && InSet(set, Data()[n])) ++n;
  return Left(static_cast<int>(n));
}

CString CString::SpanExcluding(const char16_t* set) const {
  size_t n = 0;
  while (n < Size() && !InSet(set, Data()[n])) ++n;
  return Left(static_cast<int>(n));
}

int CString::Find(char16_t ch, int start) const {
  if (start < 0 || static_cast<size_t>(start) >= Size()) return -1;
  const size_t at = view().find(ch, static_cast<size_t>(start));
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char16_t* sub, int start) const {
  if (start < 0 || static_cast<size_t>(start) > Size()) return -1;
  const size_t at = view().find(sub ? sub : u"", static_cast<size_t>(start));
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char16_t ch) const {
  const size_t at = view().rfind(ch);
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const char16_t* set) const {
  if (!set || !*set) return -1;
  const size_t at = view().find_first_of(set);
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

CString& CString::MakeLower() {
  std::u16string text = str();
  MapCodePoints(text, [](UChar32 c) { return u_tolower(c); });
  AssignUnits(text.data(), text.size());
  return *this;
}

CString& CString::MakeUpper() {
  std::u16string text = str();
  MapCodePoints(text, [](UChar32 c) { return u_toupper(c); });
  AssignUnits(text.data(), text.size());
  return *this;
}

CString& CString::MakeReverse() {
  const size_t n = Size();
  std::reverse(Data(), Data() + n);
  // Reversing units turns each pair into trail+lead; swap them back so that
  // supplementary characters survive.
  for (size_t i = 0; i + 1 < n; ++i) {
    if (U16_IS_TRAIL(Data()[i]) && U16_IS_LEAD(Data()[i + 1])) {
      std::swap(Data()[i], Data()[i + 1]);
      ++i;
    }
  }
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char16_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const char16_t* set) { return TrimRight(set).TrimLeft(set); }

namespace {

// Units at the start of `text` for which `drop` holds.
template <typename Drop>
size_t LeadingCount(std::u16string_view text, Drop drop) {
  size_t n = 0;
  while (n < text.size() && drop(text[n])) ++n;
  return n;
}

template <typename Drop>
size_t KeptByTrimRight(std::u16string_view text, Drop drop) {
  size_t n = text.size();
  while (n > 0 && drop(text[n - 1])) --n;
  return n;
}

}  // namespace

CString& CString::TrimLeft() {
  Delete(0, static_cast<int>(LeadingCount(view(), IsSpace)));
  return *this;
}

CString& CString::TrimLeft(char16_t ch) {
  Delete(0, static_cast<int>(LeadingCount(view(), [ch](char16_t c) { return c == ch; })));
  return *this;
}

CString& CString::TrimLeft(const char16_t* set) {
  Delete(0, static_cast<int>(LeadingCount(view(), [set](char16_t c) { return InSet(set, c); })));
  return *this;
}

CString& CString::TrimRight() {
  Resize(KeptByTrimRight(view(), IsSpace));
  return *this;
}

CString& CString::TrimRight(char16_t ch) {
  Resize(KeptByTrimRight(view(), [ch](char16_t c) { return c == ch; }));
  return *this;
}

CString& CString::TrimRight(const char16_t* set) {
  Resize(KeptByTrimRight(view(), [set](char16_t c) { return InSet(set, c); }));
  return *this;
}

int CString::Replace(char16_t from, char16_t to) {
  if (from == to) return 0;
  int count = 0;
  for (char16_t* c = Data(); c != Data() + Size(); ++c) {
    if (*c == from) {
      *c = to;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const char16_t* from, const char16_t* to) {
  const size_t fromLength = u16len(from);
  if (fromLength == 0) return 0;
  const std::u16string_view text = view();
  const std::u16string_view needle(from, fromLength);
  const std::u16string_view replacement(to ? to : u"", u16len(to));
  int count = 0;
  for (size_t at = text.find(needle); at != std::u16string_view::npos;
       at = text.find(needle, at + fromLength)) {
    ++count;
  }
  if (count == 0) return 0;
  // `from` or `to` may point into this text, so build the result apart.
  std::u16string result;
  const size_t n = static_cast<size_t>(count);
  result.reserve(text.size() - n * fromLength + n * replacement.size());
  size_t done = 0;
  for (size_t at = text.find(needle); at != std::u16string_view::npos;
       at = text.find(needle, at + fromLength)) {
    result.append(text.substr(done, at - done));
    result.append(replacement);
    done = at + fromLength;
  }
  result.append(text.substr(done));
  AssignUnits(result.data(), result.size());
  return count;
}

int CString::Remove(char16_t ch) {
  char16_t* const end = Data() + Size();
  char16_t* const kept = std::remove(Data(), end, ch);
  const int removed = static_cast<int>(end - kept);
  if (removed != 0) SetSize(static_cast<size_t>(kept - Data()));
  return removed;
}

int CString::Insert(int index, char16_t ch) {
  std::u16string text = str();
  text.insert(Clamp(index, text.size()), 1, ch);
  AssignUnits(text.data(), text.size());
  return GetLength();
}

int CString::Insert(int index, const char16_t* text) {
  if (!text || !*text) return GetLength();
  std::u16string result = str();
  result.insert(Clamp(index, result.size()), text);
  AssignUnits(result.data(), result.size());
  return GetLength();
}

int CString::Delete(int index, int count) {
  const size_t length = Size();
  const size_t from = Clamp(index, length);
  const size_t n = Clamp(count, length - from);
  if (n != 0) {
    std::memmove(Data() + from, Data() + from + n, (length - from - n) * sizeof(char16_t));
    SetSize(length - n);
  }
  return GetLength();
}

CString CString::Tokenize(const char16_t* delims, int& start) const {
  const size_t length = Size();
  if (start >= 0 && static_cast<size_t>(start) < length) {
    if (!delims || !*delims) {
      // No delimiters: the rest is one token, and the next call ends.
      CString rest = Mid(start);
      start = GetLength();
      return rest;
    }
    size_t from = static_cast<size_t>(start);
    while (from < length && InSet(delims, Data()[from])) ++from;
    if (from < length) {
      size_t until = from;
      while (until < length && !InSet(delims, Data()[until])) ++until;
      start = static_cast<int>(until + 1);
      return CString(view().substr(from, until - from));
    }
  }
  start = -1;
  return CString();
}

void CString::Format(const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(format, args);
  va_end(args);
}

void CString::FormatV(const char16_t* format, va_list args) {
  // Arguments may point into this text, so the old text lives until the end.
  std::u16string out;
  va_list copy;
  va_copy(copy, args);
  FormatInto(out, format, copy);
  va_end(copy);
  AssignUnits(out.data(), out.size());
}

void CString::AppendFormatV(const char16_t* format, va_list args) {
  std::u16string out;
  va_list copy;
  va_copy(copy, args);
  FormatInto(out, format, copy);
  va_end(copy);
  AppendUnits(out.data(), out.size());
}

char16_t* CString::GetBuffer(int minLength) {
  const size_t length = Size();
  Resize(minLength > 0 ? std::max(length, static_cast<size_t>(minLength)) : length);
  return Data();
}

char16_t* CString::GetBufferSetLength(int length) {
  Resize(length > 0 ? static_cast<size_t>(length) : 0);
  return Data();
}

void CString::ReleaseBuffer(int newLength) {
  const std::u16string_view text = view();
  const size_t length = newLength < 0 ? std::min(text.size(), text.find(u'\0'))
                                      : std::min(text.size(), static_cast<size_t>(newLength));
  if (length != text.size()) SetSize(length);
}

// CString: the UTF-16 string value type of every interface of the library.
// It keeps the MFC member names that callers written against the Windows
// original expect, on top of a std::u16string.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Value semantics; an empty string and a missing value are the same thing.
// Indexes and lengths are in UTF-16 code units, as with MFC's CStringW.
class CString {
 public:
  CString() = default;
  CString(const char16_t* text);  // NOLINT: implicit like MFC; null is empty
  CString(const char16_t* text, int length);
  CString(char16_t ch, int repeat = 1);
  CString(const std::u16string& text) : s_(text) {}  // NOLINT
  CString(std::u16string&& text) noexcept : s_(std::move(text)) {}  // NOLINT
  explicit CString(std::u16string_view text) : s_(text) {}

  // Conversions to and from UTF-8 for the boundary with narrow APIs.
  static CString FromUtf8(std::string_view utf8);
  std::string ToUtf8() const;

  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  char16_t GetAt(int index) const { return s_[static_cast<size_t>(index)]; }
  void SetAt(int index, char16_t ch) { s_[static_cast<size_t>(index)] = ch; }
  char16_t operator[](int index) const { return GetAt(index); }

  const char16_t* GetString() const { return s_.c_str(); }
  operator const char16_t*() const { return s_.c_str(); }  // NOLINT
  const std::u16string& str() const { return s_; }
  std::u16string& str() { return s_; }
  std::u16string_view view() const { return s_; }

  CString& operator=(const char16_t* text);
  CString& operator=(char16_t ch);
  CString& operator+=(const CString& other) { s_ += other.s_; return *this; }
  CString& operator+=(const char16_t* text);
  CString& operator+=(char16_t ch) { s_ += ch; return *this; }
  void Append(const char16_t* text, int length);
  void Append(const char16_t* text) { *this += text; }
  void AppendChar(char16_t ch) { s_ += ch; }

  // Ordinal comparison of code units: <0, 0, >0.
  int Compare(const char16_t* other) const;
  // Comparison after per-character ICU simple case folding.
  int CompareNoCase(const char16_t* other) const;

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString SpanIncluding(const char16_t* set) const;
  CString SpanExcluding(const char16_t* set) const;

  // -1 when not found or when `start` is negative or past the end.
  int Find(char16_t ch, int start = 0) const;
  int Find(const char16_t* sub, int start = 0) const;
  int ReverseFind(char16_t ch) const;
  int FindOneOf(const char16_t* set) const;

  CString& MakeLower();
  CString& MakeUpper();
  // Reverses characters; surrogate pairs stay in order.
  CString& MakeReverse();

  // Without arguments these trim Unicode white space.
  CString& Trim();
  CString& Trim(char16_t ch);
  CString& Trim(const char16_t* set);
  CString& TrimLeft();
  CString& TrimLeft(char16_t ch);
  CString& TrimLeft(const char16_t* set);
  CString& TrimRight();
  CString& TrimRight(char16_t ch);
  CString& TrimRight(const char16_t* set);

  // Return the number of replacements or removals made.
  int Replace(char16_t from, char16_t to);
  int Replace(const char16_t* from, const char16_t* to);
  int Remove(char16_t ch);
  // Return the new length.
  int Insert(int index, char16_t ch);
  int Insert(int index, const char16_t* text);
  int Delete(int index, int count = 1);

  // Next token after `start` separated by any of `delims`; `start` becomes
  // -1 and the result empty when no token is left. Without delimiters the
  // rest of the text is the last token.
  CString Tokenize(const char16_t* delims, int& start) const;

  // printf-style formatting: %d %i %u %x %X %o %c %s (char16_t*), %S
  // (char*, UTF-8), %p, %f %e %g, with flags, width, precision, '*', and the
  // length modifiers h, l, ll, I64. Pass strings as const char16_t*. As in
  // MSVC's wide printf, %hs/%hc are narrow and %ls/%lc wide, %p prints all
  // hex digits without "0x", and the 0 flag pads strings with zeros. Unknown
  // directives are copied as written.
  void Format(const char16_t* format, ...);
  void AppendFormat(const char16_t* format, ...);
  void FormatV(const char16_t* format, va_list args);
  void AppendFormatV(const char16_t* format, va_list args);

  // Raw access as in MFC: the buffer holds at least minLength units (plus the
  // terminating zero) until ReleaseBuffer, which cuts at newLength or at the
  // first zero. GetLength() counts the whole buffer until then.
  char16_t* GetBuffer(int minLength = 0);
  char16_t* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
  friend CString operator+(const CString& a, const char16_t* b) { CString r(a); r += b; return r; }
  friend CString operator+(const char16_t* a, const CString& b) { CString r(a); r += b; return r; }
  friend CString operator+(const CString& a, char16_t b) { CString r(a); r += b; return r; }
  friend CString operator+(char16_t a, const CString& b) { CString r(a); r += b; return r; }

  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator!=(const CString& a, const CString& b) { return a.s_ != b.s_; }
  friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }
  friend bool operator>(const CString& a, const CString& b) { return b.s_ < a.s_; }
  friend bool operator<=(const CString& a, const CString& b) { return !(b.s_ < a.s_); }
  friend bool operator>=(const CString& a, const CString& b) { return !(a.s_ < b.s_); }
  friend bool operator==(const CString& a, const char16_t* b) { return a.Compare(b) == 0; }
  friend bool operator!=(const CString& a, const char16_t* b) { return a.Compare(b) != 0; }
  friend bool operator==(const char16_t* a, const CString& b) { return b.Compare(a) == 0; }
  friend bool operator!=(const char16_t* a, const CString& b) { return b.Compare(a) != 0; }

 private:
  std::u16string s_;
};

namespace std {
template <>
struct hash<CString> {
  size_t operator()(const CString& s) const noexcept { return hash<u16string>()(s.str()); }
};
}  // namespace std

// Length of a zero-terminated UTF-16 text; 0 for null.
size_t u16len(const char16_t* text);

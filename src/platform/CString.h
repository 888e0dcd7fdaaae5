// CString: the UTF-16 string value type of every interface of the library.
// It keeps the MFC member names that callers written against the Windows
// original expect. A project holds millions of strings (property names and
// values, translations), so the object is one pointer: to the text of a heap
// block that carries its length and capacity, or to a shared constant empty
// text, so that an empty string owns no memory.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <string_view>

// Value semantics; an empty string and a missing value are the same thing.
// Indexes and lengths are in UTF-16 code units, as with MFC's CStringW.
class CString {
 public:
  CString() noexcept : p_(EmptyText()) {}
  CString(const char16_t* text);  // NOLINT: implicit like MFC; null is empty
  CString(const char16_t* text, int length);
  CString(char16_t ch, int repeat = 1);
  CString(const std::u16string& text) : CString(std::u16string_view(text)) {}  // NOLINT
  explicit CString(std::u16string_view text);
  CString(const CString& other);
  CString(CString&& other) noexcept : p_(other.p_) { other.p_ = EmptyText(); }
  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  ~CString() { Release(); }

  // Conversions to and from UTF-8 for the boundary with narrow APIs.
  static CString FromUtf8(std::string_view utf8);
  std::string ToUtf8() const;

  int GetLength() const { return static_cast<int>(Size()); }
  bool IsEmpty() const { return Size() == 0; }
  // Frees the text.
  void Empty() noexcept;
  char16_t GetAt(int index) const { return p_[index]; }
  // REQUIRES: 0 <= index < GetLength().
  void SetAt(int index, char16_t ch) { p_[index] = ch; }
  char16_t operator[](int index) const { return GetAt(index); }

  const char16_t* GetString() const { return p_; }
  operator const char16_t*() const { return p_; }  // NOLINT
  // A copy of the text.
  std::u16string str() const { return std::u16string(p_, Size()); }
  std::u16string_view view() const { return {p_, Size()}; }

  CString& operator=(const char16_t* text);
  CString& operator=(char16_t ch);
  CString& operator+=(const CString& other) { AppendUnits(other.p_, other.Size()); return *this; }
  CString& operator+=(const char16_t* text);
  CString& operator+=(char16_t ch) { AppendUnits(&ch, 1); return *this; }
  void Append(const char16_t* text, int length);
  void Append(const char16_t* text) { *this += text; }
  void AppendChar(char16_t ch) { AppendUnits(&ch, 1); }

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

  friend CString operator+(const CString& a, const CString& b) { return Concat(a.view(), b.view()); }
  friend CString operator+(const CString& a, const char16_t* b) {
    return Concat(a.view(), std::u16string_view(b ? b : u""));
  }
  friend CString operator+(const char16_t* a, const CString& b) {
    return Concat(std::u16string_view(a ? a : u""), b.view());
  }
  friend CString operator+(const CString& a, char16_t b) { return Concat(a.view(), {&b, 1}); }
  friend CString operator+(char16_t a, const CString& b) { return Concat({&a, 1}, b.view()); }

  friend bool operator==(const CString& a, const CString& b) {
    const size_t n = a.Size();
    return n == b.Size() && std::memcmp(a.p_, b.p_, n * sizeof(char16_t)) == 0;
  }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator<(const CString& a, const CString& b) { return a.view() < b.view(); }
  friend bool operator>(const CString& a, const CString& b) { return b < a; }
  friend bool operator<=(const CString& a, const CString& b) { return !(b < a); }
  friend bool operator>=(const CString& a, const CString& b) { return !(a < b); }
  friend bool operator==(const CString& a, const char16_t* b) { return a.Compare(b) == 0; }
  friend bool operator!=(const CString& a, const char16_t* b) { return a.Compare(b) != 0; }
  friend bool operator==(const char16_t* a, const CString& b) { return b.Compare(a) == 0; }
  friend bool operator!=(const char16_t* a, const CString& b) { return b.Compare(a) != 0; }

 private:
  // Sits just before the text of an owned block.
  struct Header {
    uint32_t length;
    uint32_t capacity;  // units the block holds before the terminating zero
  };
  struct EmptyRep {
    Header header;
    char16_t text[4];
  };
  static const EmptyRep kEmptyRep;

  static char16_t* EmptyText() noexcept { return const_cast<char16_t*>(kEmptyRep.text); }
  const Header& Head() const {
    return *reinterpret_cast<const Header*>(reinterpret_cast<const char*>(p_) - sizeof(Header));
  }
  Header& Head() { return *reinterpret_cast<Header*>(reinterpret_cast<char*>(p_) - sizeof(Header)); }
  size_t Size() const { return Head().length; }
  bool Owns() const { return p_ != EmptyText(); }
  void Release() noexcept {
    if (Owns()) ::operator delete(&Head());
  }
  // Sets the length of an owned text and writes its terminating zero.
  void SetSize(size_t length) {
    Head().length = static_cast<uint32_t>(length);
    p_[length] = 0;
  }
  // Makes room for `capacity` units, keeping the text; growing an owned text
  // leaves slack for further appends, a first allocation does not.
  void Reserve(size_t capacity);
  void AssignUnits(const char16_t* text, size_t length);  // `text` may point into this
  void AppendUnits(const char16_t* text, size_t length);  // likewise
  // New length, units past the old length being zero.
  void Resize(size_t length);
  static CString Concat(std::u16string_view a, std::u16string_view b);

  char16_t* p_;
};

namespace std {
template <>
struct hash<CString> {
  size_t operator()(const CString& s) const noexcept { return hash<u16string_view>()(s.view()); }
};
}  // namespace std

// Length of a zero-terminated UTF-16 text; 0 for null.
size_t u16len(const char16_t* text);

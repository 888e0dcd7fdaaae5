// CString: the UTF-16 string value type of every interface of the library.
// It keeps the MFC member names that callers written against the Windows
// original expect. A project holds millions of strings (property names and
// values, translations), most of them short, so the object is 16 bytes that
// hold up to 7 units in place, or else a pointer to a heap text with its
// length and capacity.
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
  CString() noexcept : units_{0, 0, 0, 0, 0, 0, 0, kInPlace} {}
  CString(const char16_t* text);  // NOLINT: implicit like MFC; null is empty
  CString(const char16_t* text, int length);
  CString(char16_t ch, int repeat = 1);
  CString(const std::u16string& text) : CString(std::u16string_view(text)) {}  // NOLINT
  explicit CString(std::u16string_view text);
  CString(const CString& other);
  CString(CString&& other) noexcept {
    std::memcpy(units_, other.units_, sizeof units_);
    other.SetEmpty();
  }
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
  char16_t GetAt(int index) const { return Data()[index]; }
  // REQUIRES: 0 <= index < GetLength().
  void SetAt(int index, char16_t ch) { Data()[index] = ch; }
  char16_t operator[](int index) const { return GetAt(index); }

  const char16_t* GetString() const { return Data(); }
  operator const char16_t*() const { return Data(); }  // NOLINT
  // A copy of the text.
  std::u16string str() const { return std::u16string(view()); }
  std::u16string_view view() const { return {Data(), Size()}; }

  CString& operator=(const char16_t* text);
  CString& operator=(char16_t ch);
  CString& operator+=(const CString& other) {
    AppendUnits(other.Data(), other.Size());
    return *this;
  }
  CString& operator+=(const char16_t* text);
  CString& operator+=(char16_t ch) { AppendUnits(&ch, 1); return *this; }
  void Append(const char16_t* text, int length);
  void Append(const char16_t* text) { *this += text; }
  void AppendChar(char16_t ch) { AppendUnits(&ch, 1); }

  // Replaces the text by `count` UTF-16 units copied from `bytes`, which
  // need not be aligned: the units of a file or stream.
  void SetUnits(const void* bytes, int count);

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

  friend CString operator+(const CString& a, const CString& b) {
    return Concat(a.view(), b.view());
  }
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
    return n == b.Size() && std::memcmp(a.Data(), b.Data(), n * sizeof(char16_t)) == 0;
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
  // units_[7] tells the two forms apart. In place, it is 7 minus the length,
  // so that a text of 7 units ends in its own terminating zero. On the heap,
  // units_[0..3] hold the text's address, units_[4..5] its length, and
  // units_[6] and units_[7] the low and high halves of its capacity, the
  // high half marked by the top bit.
  static constexpr size_t kInPlace = 7;
  static constexpr char16_t kHeapMark = 0x8000;

  bool OnHeap() const { return (units_[7] & kHeapMark) != 0; }
  char16_t* HeapText() const {
    char16_t* text;
    std::memcpy(&text, units_, sizeof text);
    return text;
  }
  const char16_t* Data() const { return OnHeap() ? HeapText() : units_; }
  char16_t* Data() { return OnHeap() ? HeapText() : units_; }
  size_t Size() const {
    if (!OnHeap()) return kInPlace - units_[7];
    uint32_t length;
    std::memcpy(&length, units_ + 4, sizeof length);
    return length;
  }
  size_t Capacity() const {
    if (!OnHeap()) return kInPlace;
    return units_[6] | (static_cast<size_t>(units_[7] & ~kHeapMark) << 16);
  }
  void SetEmpty() noexcept {
    units_[0] = 0;
    units_[7] = kInPlace;
  }
  void Release() noexcept {
    if (OnHeap()) ::operator delete(HeapText());
  }
  // Sets the length (within the capacity) and writes the terminating zero.
  void SetSize(size_t length) {
    if (OnHeap()) {
      HeapText()[length] = 0;
      const uint32_t n = static_cast<uint32_t>(length);
      std::memcpy(units_ + 4, &n, sizeof n);
    } else {
      units_[length] = 0;
      units_[7] = static_cast<char16_t>(kInPlace - length);
    }
  }
  // Moves the text to a heap block of exactly `capacity` units; the text
  // must fit.
  void MoveToHeap(size_t capacity);
  // Makes room for `capacity` units, keeping the text.
  void Reserve(size_t capacity) {
    if (capacity > Capacity()) MoveToHeap(capacity);
  }
  void AssignUnits(const char16_t* text, size_t length);  // `text` may point into this
  void AppendUnits(const char16_t* text, size_t length);  // likewise
  // New length, units past the old length being zero.
  void Resize(size_t length);
  static CString Concat(std::u16string_view a, std::u16string_view b);

  alignas(8) char16_t units_[8];
};

namespace std {
template <>
struct hash<CString> {
  size_t operator()(const CString& s) const noexcept { return hash<u16string_view>()(s.view()); }
};
}  // namespace std

// Length of a zero-terminated UTF-16 text; 0 for null.
size_t u16len(const char16_t* text);

// BSTR allocation, the VARIANT calls (init, clear, copy, change type) and the
// _variant_t wrapper. Conversions keep OLE's rules that stored data depends on:
// banker's rounding, range errors as DISP_E_OVERFLOW, VARIANT_TRUE as -1.
#include "platform/Variant.h"

#include <unicode/uchar.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

static_assert(sizeof(_variant_t) == sizeof(VARIANT), "_variant_t adds no data to VARIANT");

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);

// Valid dates run from 1 January 100 to the end of 31 December 9999.
constexpr double kMinDate = -657435.0;
constexpr double kMaxDate = 2958466.0;

// Types whose value the 16 bytes hold completely (VT_DECIMAL even spans vt).
bool IsPlainType(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_ERROR:
    case VT_BOOL:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_VOID:
    case VT_HRESULT:
      return true;
    default:
      return false;
  }
}

bool IsKnownType(VARTYPE vt) {
  return IsPlainType(vt) || vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_UNKNOWN ||
         vt == VT_VARIANT;
}

// A known base type with at most the VT_ARRAY and VT_BYREF modifiers.
bool IsValidType(VARTYPE vt) {
  constexpr VARTYPE kBaseMask = 0x0FFF;
  constexpr VARTYPE kOtherFlags = 0xF000 & ~(VT_ARRAY | VT_BYREF);
  return (vt & kOtherFlags) == 0 && IsKnownType(vt & kBaseMask);
}

// The types VariantChangeType converts between.
bool IsConvertible(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_BOOL:
    case VT_BSTR:
      return true;
    default:
      return false;
  }
}

HRESULT CheckConvertible(VARTYPE vt) {
  if ((vt & (VT_ARRAY | VT_BYREF)) != 0 || !IsValidType(vt)) return DISP_E_BADVARTYPE;
  return IsConvertible(vt) ? S_OK : DISP_E_TYPEMISMATCH;
}

// A source value on its way to another type.
struct Number {
  enum Kind { kSigned, kUnsigned, kReal, kBool } kind = kSigned;
  int64_t i = 0;
  uint64_t u = 0;
  double d = 0;
  bool b = false;
  bool single = false;  // came from VT_R4: text keeps float precision
};

bool EqualsNoCaseAscii(std::u16string_view text, const char* word) {
  for (const char16_t c : text) {
    if (*word == '\0') return false;
    const char16_t lower = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (lower != static_cast<unsigned char>(*word++)) return false;
  }
  return *word == '\0';
}

HRESULT ParseText(std::u16string_view text, Number& n) {
  while (!text.empty() && u_isUWhiteSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && u_isUWhiteSpace(text.back())) text.remove_suffix(1);
  if (EqualsNoCaseAscii(text, "true") || EqualsNoCaseAscii(text, "false")) {
    n.kind = Number::kBool;
    n.b = text.size() == 4;
    return S_OK;
  }
  // Syntax: [sign] digits [. digits] [e [sign] digits], a digit somewhere in
  // the mantissa. Checked here so that from_chars sees nothing else.
  size_t at = 0;
  const auto digits = [&] {
    const size_t from = at;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') ++at;
    return at - from;
  };
  const bool negative = at < text.size() && text[at] == u'-';
  if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) ++at;
  const size_t mantissaStart = at;
  size_t mantissaDigits = digits();
  const size_t integerEnd = at;
  bool integral = true;
  if (at < text.size() && text[at] == u'.') {
    ++at;
    mantissaDigits += digits();
    integral = false;
  }
  if (mantissaDigits == 0) return DISP_E_TYPEMISMATCH;
  if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
    ++at;
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) ++at;
    if (digits() == 0) return DISP_E_TYPEMISMATCH;
    integral = false;
  }
  if (at != text.size()) return DISP_E_TYPEMISMATCH;

  if (integral) {
    // Exact integers, so that 64-bit values do not pass through a double.
    uint64_t magnitude = 0;
    bool fits = true;
    for (size_t k = mantissaStart; k < integerEnd && fits; ++k) {
      const uint64_t digit = static_cast<uint64_t>(text[k] - u'0');
      fits = magnitude <= (std::numeric_limits<uint64_t>::max() - digit) / 10;
      magnitude = magnitude * 10 + digit;
    }
    if (fits && (!negative || magnitude <= uint64_t{1} << 63)) {
      if (negative) {
        n.kind = Number::kSigned;
        n.i = magnitude == 0 ? 0 : -static_cast<int64_t>(magnitude - 1) - 1;
      } else {
        n.kind = Number::kUnsigned;
        n.u = magnitude;
      }
      return S_OK;
    }
  }
  std::string ascii;
  ascii.reserve(text.size());
  for (size_t k = text[0] == u'+' ? 1 : 0; k < text.size(); ++k) {
    ascii += static_cast<char>(text[k]);
  }
  double value = 0;
  const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (result.ec == std::errc::result_out_of_range) return DISP_E_OVERFLOW;
  if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size()) {
    return DISP_E_TYPEMISMATCH;
  }
  n.kind = Number::kReal;
  n.d = value;
  return S_OK;
}

HRESULT ReadNumber(const VARIANT& v, Number& n) {
  const auto is = [&n](Number::Kind kind) {
    n.kind = kind;
    return S_OK;
  };
  switch (v.vt) {
    case VT_EMPTY:
      return is(Number::kSigned);
    case VT_I1:
      n.i = v.cVal;
      return is(Number::kSigned);
    case VT_I2:
      n.i = v.iVal;
      return is(Number::kSigned);
    case VT_I4:
    case VT_INT:
      n.i = v.lVal;
      return is(Number::kSigned);
    case VT_I8:
      n.i = v.llVal;
      return is(Number::kSigned);
    case VT_UI1:
      n.u = v.bVal;
      return is(Number::kUnsigned);
    case VT_UI2:
      n.u = v.uiVal;
      return is(Number::kUnsigned);
    case VT_UI4:
    case VT_UINT:
      n.u = v.ulVal;
      return is(Number::kUnsigned);
    case VT_UI8:
      n.u = v.ullVal;
      return is(Number::kUnsigned);
    case VT_R4:
      n.d = v.fltVal;
      n.single = true;
      return is(Number::kReal);
    case VT_R8:
    case VT_DATE:
      n.d = v.dblVal;
      return is(Number::kReal);
    case VT_BOOL:
      n.b = v.boolVal != VARIANT_FALSE;
      return is(Number::kBool);
    case VT_BSTR:
      return ParseText({v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal)}, n);
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

double RoundHalfEven(double d) {
  const double down = std::floor(d);
  const double rest = d - down;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(down, 2.0) != 0.0)) return down + 1.0;
  return down;
}

// Brings `n` into [-(maxNegative), maxPositive] as a sign and magnitude.
HRESULT ToInteger(const Number& n, uint64_t maxNegative, uint64_t maxPositive, bool& negative,
                  uint64_t& magnitude) {
  constexpr double kTwoTo64 = 18446744073709551616.0;
  negative = false;
  switch (n.kind) {
    case Number::kSigned:
      negative = n.i < 0;
      magnitude = negative ? 0 - static_cast<uint64_t>(n.i) : static_cast<uint64_t>(n.i);
      break;
    case Number::kUnsigned:
      magnitude = n.u;
      break;
    case Number::kBool:
      // VARIANT_TRUE is -1: all bits set when the target has no sign.
      negative = n.b && maxNegative != 0;
      magnitude = !n.b ? 0 : (negative ? 1 : maxPositive);
      break;
    case Number::kReal: {
      if (std::isnan(n.d)) return DISP_E_OVERFLOW;
      const double r = RoundHalfEven(n.d);
      negative = r < 0;
      const double size = negative ? -r : r;
      if (size >= kTwoTo64) return DISP_E_OVERFLOW;
      magnitude = static_cast<uint64_t>(size);
      break;
    }
  }
  if (magnitude > (negative ? maxNegative : maxPositive)) return DISP_E_OVERFLOW;
  return S_OK;
}

double ToReal(const Number& n) {
  switch (n.kind) {
    case Number::kSigned:
      return static_cast<double>(n.i);
    case Number::kUnsigned:
      return static_cast<double>(n.u);
    case Number::kBool:
      return n.b ? -1.0 : 0.0;
    case Number::kReal:
      break;
  }
  return n.d;
}

bool ToBool(const Number& n) {
  switch (n.kind) {
    case Number::kSigned:
      return n.i != 0;
    case Number::kUnsigned:
      return n.u != 0;
    case Number::kBool:
      return n.b;
    case Number::kReal:
      break;
  }
  return n.d != 0.0;  // NaN too, as it is not zero
}

BSTR ToText(const Number& n) {
  char buffer[64];
  char* end = buffer;
  switch (n.kind) {
    case Number::kSigned:
      end = std::to_chars(buffer, buffer + sizeof(buffer), n.i).ptr;
      break;
    case Number::kUnsigned:
      end = std::to_chars(buffer, buffer + sizeof(buffer), n.u).ptr;
      break;
    case Number::kBool:
      return SysAllocString(n.b ? u"True" : u"False");
    case Number::kReal: {
      // Significant digits as OLE prints them: 7 for R4, 15 for R8; no "-0".
      const double d = n.d == 0.0 ? 0.0 : n.d;
      end = n.single
                ? std::to_chars(buffer, buffer + sizeof(buffer), static_cast<float>(d),
                                std::chars_format::general, 7)
                      .ptr
                : std::to_chars(buffer, buffer + sizeof(buffer), d, std::chars_format::general, 15)
                      .ptr;
      break;
    }
  }
  const unsigned int length = static_cast<unsigned int>(end - buffer);
  BSTR text = SysAllocStringLen(nullptr, length);
  if (!text) return nullptr;
  for (unsigned int k = 0; k < length; ++k) {
    text[k] = buffer[k] == 'e' ? u'E' : static_cast<char16_t>(buffer[k]);
  }
  return text;
}

HRESULT WriteInteger(const Number& n, VARTYPE vt, VARIANT& out) {
  uint64_t maxNegative = 0;
  uint64_t maxPositive = 0;
  switch (vt) {
    case VT_I1:
      maxNegative = 0x80;
      maxPositive = 0x7F;
      break;
    case VT_UI1:
      maxPositive = 0xFF;
      break;
    case VT_I2:
      maxNegative = 0x8000;
      maxPositive = 0x7FFF;
      break;
    case VT_UI2:
      maxPositive = 0xFFFF;
      break;
    case VT_I4:
    case VT_INT:
      maxNegative = 0x80000000u;
      maxPositive = 0x7FFFFFFF;
      break;
    case VT_UI4:
    case VT_UINT:
      maxPositive = 0xFFFFFFFFu;
      break;
    case VT_I8:
      maxNegative = uint64_t{1} << 63;
      maxPositive = (uint64_t{1} << 63) - 1;
      break;
    default:
      maxPositive = std::numeric_limits<uint64_t>::max();
      break;  // VT_UI8
  }
  bool negative = false;
  uint64_t magnitude = 0;
  const HRESULT hr = ToInteger(n, maxNegative, maxPositive, negative, magnitude);
  if (FAILED(hr)) return hr;
  // Two's complement without signed overflow.
  const int64_t s = negative ? -static_cast<int64_t>(magnitude - 1) - 1
                             : static_cast<int64_t>(magnitude & ~(uint64_t{1} << 63));
  switch (vt) {
    case VT_I1:
      out.cVal = static_cast<int8_t>(s);
      break;
    case VT_UI1:
      out.bVal = static_cast<uint8_t>(magnitude);
      break;
    case VT_I2:
      out.iVal = static_cast<int16_t>(s);
      break;
    case VT_UI2:
      out.uiVal = static_cast<uint16_t>(magnitude);
      break;
    case VT_I4:
      out.lVal = static_cast<int32_t>(s);
      break;
    case VT_INT:
      out.intVal = static_cast<int32_t>(s);
      break;
    case VT_UI4:
      out.ulVal = static_cast<uint32_t>(magnitude);
      break;
    case VT_UINT:
      out.uintVal = static_cast<uint32_t>(magnitude);
      break;
    case VT_I8:
      out.llVal = s;
      break;
    default:
      out.ullVal = magnitude;
      break;
  }
  return S_OK;
}

// Converts between two different convertible types into the zeroed `out`.
HRESULT Convert(const VARIANT& src, VARTYPE vt, VARIANT& out) {
  if (src.vt == VT_NULL || vt == VT_NULL) return DISP_E_TYPEMISMATCH;
  if (vt == VT_EMPTY) return S_OK;
  if ((src.vt == VT_DATE && vt == VT_BSTR) || (src.vt == VT_BSTR && vt == VT_DATE)) {
    return DISP_E_TYPEMISMATCH;
  }
  if (src.vt == VT_EMPTY && vt == VT_BSTR) {
    out.bstrVal = SysAllocString(u"");
    return out.bstrVal ? S_OK : E_OUTOFMEMORY;
  }
  Number n;
  HRESULT hr = ReadNumber(src, n);
  if (FAILED(hr)) return hr;
  switch (vt) {
    case VT_BSTR:
      out.bstrVal = ToText(n);
      if (!out.bstrVal) return E_OUTOFMEMORY;
      break;
    case VT_BOOL:
      out.boolVal = ToBool(n) ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_R8:
      out.dblVal = ToReal(n);
      break;
    case VT_R4: {
      const double d = ToReal(n);
      if (std::fabs(d) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
      out.fltVal = static_cast<float>(d);
      break;
    }
    case VT_DATE: {
      const double d = ToReal(n);
      if (!(d > kMinDate && d < kMaxDate)) return DISP_E_OVERFLOW;
      out.date = d;
      break;
    }
    default:
      hr = WriteInteger(n, vt, out);
      if (FAILED(hr)) return hr;
      break;
  }
  return S_OK;
}

}  // namespace

BSTR SysAllocString(const char16_t* text) {
  if (!text) return nullptr;
  const size_t length = u16len(text);
  if (length > std::numeric_limits<unsigned int>::max()) return nullptr;
  return SysAllocStringLen(text, static_cast<unsigned int>(length));
}

BSTR SysAllocStringLen(const char16_t* text, unsigned int length) {
  const size_t units = static_cast<size_t>(length) + 1;
  auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + units * sizeof(char16_t)));
  if (!block) return nullptr;
  const uint32_t stored = length;
  std::memcpy(block, &stored, kPrefix);
  auto* chars = reinterpret_cast<char16_t*>(block + kPrefix);
  if (text) {
    std::memcpy(chars, text, length * sizeof(char16_t));
  } else {
    std::memset(chars, 0, length * sizeof(char16_t));
  }
  chars[length] = u'\0';
  return chars;
}

void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<unsigned char*>(text) - kPrefix);
}

unsigned int SysStringLen(BSTR text) {
  if (!text) return 0;
  uint32_t stored = 0;
  std::memcpy(&stored, reinterpret_cast<const unsigned char*>(text) - kPrefix, kPrefix);
  return stored;
}

void VariantInit(VARIANT* v) {
  if (v) std::memset(v, 0, sizeof(VARIANT));
}

HRESULT VariantClear(VARIANT* v) {
  if (!v) return E_INVALIDARG;
  if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (!dest || !src) return E_INVALIDARG;
  if (dest == src) return S_OK;
  // A reference is copied as it is; arrays and interfaces would need owners.
  const bool byref = (src->vt & VT_BYREF) != 0;
  if (!IsValidType(src->vt) || (!byref && !IsPlainType(src->vt) && src->vt != VT_BSTR)) {
    return DISP_E_BADVARTYPE;
  }
  VARIANT copy;
  std::memcpy(&copy, src, sizeof(VARIANT));
  if (src->vt == VT_BSTR && src->bstrVal) {
    copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
    if (!copy.bstrVal) return E_OUTOFMEMORY;
  }
  VariantClear(dest);
  std::memcpy(dest, &copy, sizeof(VARIANT));
  return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, uint16_t /*flags*/, VARTYPE vt) {
  if (!dest || !src) return E_INVALIDARG;
  if (src->vt == vt) return VariantCopy(dest, src);
  HRESULT hr = CheckConvertible(src->vt);
  if (SUCCEEDED(hr)) hr = CheckConvertible(vt);
  if (FAILED(hr)) return hr;
  // Built apart: `dest` may be `src`, and must stay as it is on failure.
  VARIANT out;
  VariantInit(&out);
  hr = Convert(*src, vt, out);
  if (FAILED(hr)) return hr;  // nothing was allocated
  out.vt = vt;
  VariantClear(dest);
  std::memcpy(dest, &out, sizeof(VARIANT));
  return S_OK;
}

_variant_t::_variant_t(const VARIANT& v) {
  VariantInit(this);
  VariantCopy(this, &v);  // an uncopyable type leaves VT_EMPTY
}

_variant_t::_variant_t(const _variant_t& v) : tagVARIANT() {
  VariantInit(this);
  VariantCopy(this, &v);
}

_variant_t::_variant_t(_variant_t&& v) noexcept : tagVARIANT() {
  std::memcpy(static_cast<VARIANT*>(this), static_cast<const VARIANT*>(&v), sizeof(VARIANT));
  VariantInit(&v);
}

_variant_t::_variant_t(int16_t value, VARTYPE type) {
  VariantInit(this);
  if (type == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return;
  }
  vt = VT_I2;
  iVal = value;
  if (type != VT_I2) ChangeType(type);
}

_variant_t::_variant_t(int32_t value, VARTYPE type) {
  VariantInit(this);
  switch (type) {
    case VT_BOOL:
      vt = VT_BOOL;
      boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case VT_ERROR:
      vt = VT_ERROR;
      scode = value;
      return;
    case VT_INT:
      vt = VT_INT;
      intVal = value;
      return;
    default:
      vt = VT_I4;
      lVal = value;
      if (type != VT_I4) ChangeType(type);
      return;
  }
}

_variant_t::_variant_t(uint32_t value) {
  VariantInit(this);
  vt = VT_UI4;
  ulVal = value;
}

_variant_t::_variant_t(int64_t value) {
  VariantInit(this);
  vt = VT_I8;
  llVal = value;
}

_variant_t::_variant_t(uint64_t value) {
  VariantInit(this);
  vt = VT_UI8;
  ullVal = value;
}

_variant_t::_variant_t(float value) {
  VariantInit(this);
  vt = VT_R4;
  fltVal = value;
}

_variant_t::_variant_t(double value, VARTYPE type) {
  VariantInit(this);
  if (type == VT_DATE) {
    vt = VT_DATE;
    date = value;
    return;
  }
  vt = VT_R8;
  dblVal = value;
  if (type != VT_R8) ChangeType(type);
}

_variant_t::_variant_t(bool value) {
  VariantInit(this);
  vt = VT_BOOL;
  boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

_variant_t::_variant_t(int8_t value) {
  VariantInit(this);
  vt = VT_I1;
  cVal = value;
}

_variant_t::_variant_t(uint8_t value) {
  VariantInit(this);
  vt = VT_UI1;
  bVal = value;
}

_variant_t::_variant_t(uint16_t value) {
  VariantInit(this);
  vt = VT_UI2;
  uiVal = value;
}

_variant_t::_variant_t(const char16_t* text) {
  VariantInit(this);
  vt = VT_BSTR;
  bstrVal = SysAllocString(text);
}

_variant_t::_variant_t(const CString& text) {
  VariantInit(this);
  vt = VT_BSTR;
  bstrVal = SysAllocStringLen(text.GetString(), static_cast<unsigned int>(text.GetLength()));
}

_variant_t& _variant_t::operator=(const _variant_t& v) {
  return *this = static_cast<const VARIANT&>(v);
}

_variant_t& _variant_t::operator=(_variant_t&& v) noexcept {
  if (this != &v) {
    VariantClear(this);
    std::memcpy(static_cast<VARIANT*>(this), static_cast<const VARIANT*>(&v), sizeof(VARIANT));
    VariantInit(&v);
  }
  return *this;
}

_variant_t& _variant_t::operator=(const VARIANT& v) {
  // Like construction, an uncopyable type leaves VT_EMPTY.
  if (FAILED(VariantCopy(this, &v))) VariantClear(this);
  return *this;
}

bool _variant_t::ChangeType(VARTYPE type) {
  return SUCCEEDED(VariantChangeType(this, this, 0, type));
}

VARIANT _variant_t::Detach() {
  VARIANT result;
  std::memcpy(&result, static_cast<const VARIANT*>(this), sizeof(VARIANT));
  VariantInit(this);
  return result;
}

void _variant_t::Attach(VARIANT& v) {
  if (&v == this) return;
  VariantClear(this);
  std::memcpy(static_cast<VARIANT*>(this), &v, sizeof(VARIANT));
  VariantInit(&v);
}

bool _variant_t::operator==(const VARIANT& other) const {
  if (&other == this) return true;
  if (vt != other.vt) return false;
  if (vt & (VT_BYREF | VT_ARRAY)) return byref == other.byref;
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_VOID:
      return true;
    case VT_I1:
    case VT_UI1:
      return bVal == other.bVal;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return uiVal == other.uiVal;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
    case VT_HRESULT:
      return ulVal == other.ulVal;
    case VT_I8:
    case VT_UI8:
    case VT_CY:
      return ullVal == other.ullVal;
    case VT_R4:
      return fltVal == other.fltVal;
    case VT_R8:
    case VT_DATE:
      return dblVal == other.dblVal;
    case VT_BSTR: {
      const unsigned int length = SysStringLen(bstrVal);
      return length == SysStringLen(other.bstrVal) &&
             (length == 0 || std::memcmp(bstrVal, other.bstrVal, length * sizeof(char16_t)) == 0);
    }
    case VT_DECIMAL: {
      // The value covers the whole structure, vt included.
      return std::memcmp(static_cast<const VARIANT*>(this), &other, sizeof(VARIANT)) == 0;
    }
    default:
      return byref == other.byref;
  }
}

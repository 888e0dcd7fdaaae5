// The OLE Automation variant: the 16-byte VARIANT structure with its type
// codes, the BSTR string type and the calls that create, copy, convert and
// clear them, plus the owning `_variant_t` wrapper. The structure's bytes are
// written as they are into serial streams, so its layout is fixed.
#pragma once

#include <cstdint>
#include <type_traits>

#include "platform/CString.h"

using BSTR = char16_t*;
using VARTYPE = uint16_t;
using HRESULT = int32_t;
using VARIANT_BOOL = int16_t;
using DATE = double;
using SCODE = int32_t;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008u);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000Au);
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
};

// BSTRs carry their length in code units in the four bytes before the text
// and a terminating zero after it. Null is a valid, empty BSTR:
// SysAllocString(nullptr) returns it, SysAllocStringLen(nullptr, n) returns n
// zero units, and the calls return null when memory runs out.
BSTR SysAllocString(const char16_t* text);
BSTR SysAllocStringLen(const char16_t* text, unsigned int length);
void SysFreeString(BSTR text);
unsigned int SysStringLen(BSTR text);

struct tagVARIANT {
  VARTYPE vt;
  uint16_t wReserved1;
  uint16_t wReserved2;
  uint16_t wReserved3;
  union {
    int64_t llVal;
    uint64_t ullVal;
    int32_t lVal;
    uint32_t ulVal;
    int16_t iVal;
    uint16_t uiVal;
    int8_t cVal;
    uint8_t bVal;
    int32_t intVal;
    uint32_t uintVal;
    float fltVal;
    double dblVal;
    DATE date;
    VARIANT_BOOL boolVal;
    SCODE scode;
    BSTR bstrVal;
    void* byref;
  };
};
using VARIANT = tagVARIANT;
using VARIANTARG = tagVARIANT;
static_assert(sizeof(VARIANT) == 16, "the serial format stores VARIANT as 16 bytes");

// Sets the variant to VT_EMPTY with all bytes zero.
void VariantInit(VARIANT* v);
// Frees an owned BSTR and leaves VT_EMPTY. Unsupported types are just reset.
HRESULT VariantClear(VARIANT* v);
// Clears `dest`, then makes it a deep copy of `src` (a BSTR is duplicated).
// VT_BYREF values copy the reference. VT_ARRAY, VT_DISPATCH, VT_UNKNOWN and
// unknown types give DISP_E_BADVARTYPE and leave `dest` unchanged.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Converts `src` to type `vt` into `dest` (which may be `src`). Supports the
// numeric types, VT_BOOL, VT_DATE, VT_BSTR (decimal text, "True"/"False"
// for VT_BOOL as in the English locale), VT_EMPTY and VT_NULL. On failure
// `dest` is unchanged and an error code is returned.
// Rules: reals round half to even; out of range is DISP_E_OVERFLOW; VT_NULL
// converts to nothing else (DISP_E_TYPEMISMATCH); VT_EMPTY is 0 or "";
// text may have surrounding white space and parses as a decimal number
// (sign, fraction, exponent) or "true"/"false" in any case; VARIANT_TRUE is
// -1, or all bits set in unsigned types. Text to and from VT_DATE (a
// locale's date format) is not supported: DISP_E_TYPEMISMATCH. `flags` is
// accepted for the Windows signature and ignored.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, uint16_t flags, VARTYPE vt);

// Owning wrapper with value semantics; every constructor zero-fills the
// structure first so that unused value bytes are deterministic.
class _variant_t : public tagVARIANT {
 public:
  _variant_t() noexcept { VariantInit(this); }
  _variant_t(const VARIANT& v);
  _variant_t(const _variant_t& v);
  _variant_t(_variant_t&& v) noexcept;
  // `type` may name another type: VT_BOOL for the integers, VT_ERROR and
  // VT_INT for int32_t and VT_DATE for double are taken as they are, any
  // other is reached with ChangeType (the natural type stays if that fails).
  _variant_t(int16_t value, VARTYPE type = VT_I2);
  _variant_t(int32_t value, VARTYPE type = VT_I4);
  _variant_t(uint32_t value);
  _variant_t(int64_t value);
  _variant_t(uint64_t value);
  _variant_t(float value);
  _variant_t(double value, VARTYPE type = VT_R8);
  _variant_t(bool value);
  _variant_t(int8_t value);
  _variant_t(uint8_t value);
  _variant_t(uint16_t value);
  // long long is not int64_t (long) on LP64, so 5LL would be ambiguous
  // among the integer constructors without this.
  template <typename T, typename Wide = std::conditional_t<std::is_signed_v<T>, int64_t, uint64_t>,
            std::enable_if_t<std::is_same_v<T, long long> || std::is_same_v<T, unsigned long long>,
                             int> = 0>
  _variant_t(T value) : _variant_t(static_cast<Wide>(value)) {}
  _variant_t(const char16_t* text);  // null gives a null BSTR
  _variant_t(const CString& text);
  // Narrow text would otherwise turn silently into VT_BOOL through the
  // pointer-to-bool conversion; use CString::FromUtf8.
  _variant_t(const char* text) = delete;
  ~_variant_t() { VariantClear(this); }

  _variant_t& operator=(const _variant_t& v);
  _variant_t& operator=(_variant_t&& v) noexcept;
  _variant_t& operator=(const VARIANT& v);

  void Clear() { VariantClear(this); }
  // Converts in place; returns false (value unchanged) when not possible.
  bool ChangeType(VARTYPE type);
  // Releases ownership of the structure to the caller.
  VARIANT Detach();
  void Attach(VARIANT& v);

  // OLE variant equality: same type and equal value (strings by content).
  bool operator==(const VARIANT& other) const;
  bool operator!=(const VARIANT& other) const { return !(*this == other); }
};

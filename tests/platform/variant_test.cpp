// VARIANT and BSTR: allocation, deterministic bytes, deep copies and
// ownership, the conversion rules of VariantChangeType, and equality.
#include "platform/Variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>
#include <string>
#include <type_traits>

namespace {

std::string Hex(const void* data, size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    if (i) out += ' ';
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

// vt plus the value, strings as UTF-8 text, for readable failures.
std::string Describe(const VARIANT& v) {
  std::string out = "vt=" + std::to_string(v.vt) + " ";
  if (v.vt == VT_BSTR) {
    return out + "\"" + CString(v.bstrVal, static_cast<int>(SysStringLen(v.bstrVal))).ToUtf8() +
           "\"";
  }
  return out + Hex(&v.llVal, 8);
}

std::u16string Text(const VARIANT& v) {
  return std::u16string(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal));
}

// A variant of any type with raw value bits, for types without a constructor.
_variant_t Raw(VARTYPE vt, uint64_t bits = 0) {
  _variant_t v;
  v.vt = vt;
  v.ullVal = bits;
  return v;
}

const unsigned char kZeros[16] = {};

TEST(Bstr, Allocation) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);

  BSTR empty = SysAllocString(u"");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  EXPECT_EQ(empty[0], u'\0');
  SysFreeString(empty);

  BSTR part = SysAllocStringLen(u"abcdef", 3);
  EXPECT_EQ(SysStringLen(part), 3u);
  EXPECT_EQ(std::u16string(part), u"abc");
  uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(part) - 4, 4);
  EXPECT_EQ(prefix, 3u);
  SysFreeString(part);

  BSTR zeros = SysAllocStringLen(nullptr, 2);
  EXPECT_EQ(std::u16string(zeros, 3), std::u16string(3, u'\0'));
  SysFreeString(zeros);

  BSTR inner = SysAllocStringLen(u"a\0b", 3);
  EXPECT_EQ(SysStringLen(inner), 3u);
  SysFreeString(inner);
}

// A maker of one variant, so that each case can build it over garbage.
#define MAKE(...) [] { return _variant_t(__VA_ARGS__); }

TEST(Variant, ConstructorsPickTypeAndZeroUnusedBytes) {
  static_assert(sizeof(VARIANT) == 16 && sizeof(_variant_t) == 16);
  static_assert(!std::is_constructible_v<_variant_t, const char*>);
  struct Case {
    VARTYPE vt;
    std::string bytes;  // the 16 bytes with the pointer of a BSTR left out
    _variant_t (*make)();
  } cases[] = {
      {VT_I4, "03 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00", MAKE(5)},
      {VT_I2, "02 00 00 00 00 00 00 00 FE FF 00 00 00 00 00 00", MAKE(int16_t{-2})},
      {VT_BOOL, "0B 00 00 00 00 00 00 00 FF FF 00 00 00 00 00 00", MAKE(true)},
      {VT_BOOL, "0B 00 00 00 00 00 00 00 FF FF 00 00 00 00 00 00", MAKE(int16_t{7}, VT_BOOL)},
      {VT_R8, "05 00 00 00 00 00 00 00 00 00 00 00 00 00 04 40", MAKE(2.5)},
      {VT_R4, "04 00 00 00 00 00 00 00 00 00 20 40 00 00 00 00", MAKE(2.5f)},
      {VT_I8, "14 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF", MAKE(-1L)},
      {VT_I8, "14 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00", MAKE(5LL)},
      {VT_UI8, "15 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00", MAKE(5ULL)},
      {VT_UI4, "13 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00", MAKE(5u)},
      {VT_UI1, "11 00 00 00 00 00 00 00 C8 00 00 00 00 00 00 00", MAKE(uint8_t{200})},
      {VT_I1, "10 00 00 00 00 00 00 00 F6 00 00 00 00 00 00 00", MAKE(int8_t{-10})},
      {VT_UI2, "12 00 00 00 00 00 00 00 34 12 00 00 00 00 00 00", MAKE(uint16_t{0x1234})},
      {VT_ERROR, "0A 00 00 00 00 00 00 00 07 00 00 00 00 00 00 00", MAKE(7, VT_ERROR)},
      {VT_DATE, "07 00 00 00 00 00 00 00 00 00 00 00 00 00 F0 3F", MAKE(1.0, VT_DATE)},
      {VT_BSTR, "08 00 00 00 00 00 00 00", MAKE(u"x")},
      {VT_BSTR, "08 00 00 00 00 00 00 00", MAKE(CString(u"x"))},
      {VT_BSTR, "08 00 00 00 00 00 00 00", MAKE(3, VT_BSTR)},
  };
  for (const Case& c : cases) {
    // Construct over garbage so that zeros can only come from the constructor.
    alignas(_variant_t) unsigned char storage[sizeof(_variant_t)];
    std::memset(storage, 0xAA, sizeof(storage));
    _variant_t* v = new (storage) _variant_t(c.make());
    EXPECT_EQ(v->vt, c.vt) << c.bytes;
    EXPECT_EQ(Hex(storage, v->vt == VT_BSTR ? 8 : 16), c.bytes);
    v->~_variant_t();
  }
  EXPECT_EQ(Text(_variant_t(3, VT_BSTR)), u"3");
  EXPECT_EQ(Text(_variant_t(CString(u"a\0b", 3))), std::u16string(u"a\0b", 3));
  const _variant_t null(static_cast<const char16_t*>(nullptr));
  EXPECT_EQ(null.vt, VT_BSTR);
  EXPECT_EQ(null.bstrVal, nullptr);
}

TEST(Variant, CopiesOwnTheirStrings) {
  _variant_t a(u"abc");
  _variant_t b(a);
  ASSERT_NE(a.bstrVal, b.bstrVal);
  b.bstrVal[0] = u'X';
  EXPECT_EQ(Text(a), u"abc");

  _variant_t c(5);
  c = a;
  c.bstrVal[1] = u'Y';
  EXPECT_EQ(Text(a), u"abc");
  EXPECT_EQ(Text(c), u"aYc");
  const _variant_t& alias = c;
  c = alias;  // self-assignment keeps the value
  EXPECT_EQ(Text(c), u"aYc");
  c = static_cast<const VARIANT&>(b);
  EXPECT_EQ(Text(c), u"Xbc");

  _variant_t moved(std::move(c));
  EXPECT_EQ(c.vt, VT_EMPTY);  // NOLINT: the moved-from state is defined
  EXPECT_EQ(Text(moved), u"Xbc");
  a = std::move(moved);
  EXPECT_EQ(Text(a), u"Xbc");

  VARIANT raw = a.Detach();
  EXPECT_EQ(a.vt, VT_EMPTY);
  EXPECT_EQ(Hex(&a, 16), Hex(kZeros, 16));
  _variant_t owner(7);
  owner.Attach(raw);
  EXPECT_EQ(raw.vt, VT_EMPTY);
  EXPECT_EQ(Text(owner), u"Xbc");

  VARIANT dest;
  VariantInit(&dest);
  EXPECT_EQ(VariantCopy(&dest, &owner), S_OK);
  EXPECT_NE(dest.bstrVal, owner.bstrVal);
  EXPECT_EQ(VariantClear(&dest), S_OK);
  EXPECT_EQ(Hex(&dest, 16), Hex(kZeros, 16));
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(Variant, CopyRejectsWhatItCannotOwn) {
  int target = 0;
  for (const VARTYPE vt : {VARTYPE{VT_UNKNOWN}, VARTYPE{VT_DISPATCH},
                           static_cast<VARTYPE>(VT_ARRAY | VT_I4), VARTYPE{0x7777}}) {
    _variant_t odd = Raw(vt);
    odd.byref = &target;
    _variant_t dest(u"keep");
    EXPECT_EQ(VariantCopy(&dest, &odd), DISP_E_BADVARTYPE) << vt;
    EXPECT_EQ(Text(dest), u"keep");
  }
  _variant_t ref = Raw(VT_BYREF | VT_I4);
  ref.byref = &target;
  _variant_t copy(ref);
  EXPECT_EQ(copy.vt, VT_BYREF | VT_I4);
  EXPECT_EQ(copy.byref, &target);
}

struct Conversion {
  _variant_t from;
  VARTYPE to;
  HRESULT hr;
  _variant_t want;  // ignored on failure
};

TEST(Variant, ChangeTypeTable) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Conversion cases[] = {
      {_variant_t(42), VT_BSTR, S_OK, _variant_t(u"42")},
      {_variant_t(-7LL), VT_BSTR, S_OK, _variant_t(u"-7")},
      {_variant_t(18446744073709551615ULL), VT_BSTR, S_OK, _variant_t(u"18446744073709551615")},
      {_variant_t(true), VT_BSTR, S_OK, _variant_t(u"True")},
      {_variant_t(false), VT_BSTR, S_OK, _variant_t(u"False")},
      {_variant_t(2.5), VT_BSTR, S_OK, _variant_t(u"2.5")},
      {_variant_t(0.1), VT_BSTR, S_OK, _variant_t(u"0.1")},
      {_variant_t(1.0 / 3), VT_BSTR, S_OK, _variant_t(u"0.333333333333333")},
      {_variant_t(1e20), VT_BSTR, S_OK, _variant_t(u"1E+20")},
      {_variant_t(-0.0), VT_BSTR, S_OK, _variant_t(u"0")},
      {_variant_t(0.1f), VT_BSTR, S_OK, _variant_t(u"0.1")},
      {_variant_t(u"  12\t"), VT_I4, S_OK, _variant_t(12)},
      {_variant_t(u"+7"), VT_UI1, S_OK, _variant_t(uint8_t{7})},
      {_variant_t(u"1.5"), VT_I4, S_OK, _variant_t(2)},
      {_variant_t(u"2.5"), VT_I4, S_OK, _variant_t(2)},
      {_variant_t(u"-3.5"), VT_I2, S_OK, _variant_t(int16_t{-4})},
      {_variant_t(u"1e3"), VT_I4, S_OK, _variant_t(1000)},
      {_variant_t(u".5"), VT_R8, S_OK, _variant_t(0.5)},
      {_variant_t(u"9223372036854775807"), VT_I8, S_OK, _variant_t(INT64_MAX)},
      {_variant_t(u"-9223372036854775808"), VT_I8, S_OK, _variant_t(INT64_MIN)},
      {_variant_t(u"18446744073709551615"), VT_UI8, S_OK, _variant_t(UINT64_MAX)},
      {_variant_t(u"18446744073709551616"), VT_UI8, DISP_E_OVERFLOW, {}},
      {_variant_t(u"-1"), VT_UI4, DISP_E_OVERFLOW, {}},
      {_variant_t(u"-0"), VT_UI4, S_OK, _variant_t(0u)},
      {_variant_t(u"1e999"), VT_R8, DISP_E_OVERFLOW, {}},
      {_variant_t(u"TRUE"), VT_BOOL, S_OK, _variant_t(true)},
      {_variant_t(u"fAlSe"), VT_I4, S_OK, _variant_t(0)},
      {_variant_t(u"0.0"), VT_BOOL, S_OK, _variant_t(false)},
      {_variant_t(u"abc"), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(u""), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(static_cast<const char16_t*>(nullptr)), VT_R8, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(u"truex"), VT_BOOL, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(u"."), VT_R8, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(u"1e"), VT_R8, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(u"0x10"), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(u"- 1"), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(u"inf"), VT_R8, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(true), VT_I4, S_OK, _variant_t(-1)},
      {_variant_t(true), VT_UI1, S_OK, _variant_t(uint8_t{255})},
      {_variant_t(true), VT_R8, S_OK, _variant_t(-1.0)},
      {_variant_t(0), VT_BOOL, S_OK, _variant_t(false)},
      {_variant_t(0.1), VT_BOOL, S_OK, _variant_t(true)},
      {_variant_t(2.5), VT_I4, S_OK, _variant_t(2)},
      {_variant_t(3.5), VT_I4, S_OK, _variant_t(4)},
      {_variant_t(-2.5), VT_I4, S_OK, _variant_t(-2)},
      {_variant_t(2.4999), VT_I4, S_OK, _variant_t(2)},
      {_variant_t(-0.5), VT_I4, S_OK, _variant_t(0)},
      {_variant_t(2147483646.5), VT_I4, S_OK, _variant_t(2147483646)},
      {_variant_t(2147483647.5), VT_I4, DISP_E_OVERFLOW, {}},
      {_variant_t(nan), VT_I4, DISP_E_OVERFLOW, {}},
      {_variant_t(1e300), VT_R4, DISP_E_OVERFLOW, {}},
      {_variant_t(1e10), VT_DATE, DISP_E_OVERFLOW, {}},
      {_variant_t(5), VT_DATE, S_OK, _variant_t(5.0, VT_DATE)},
      {_variant_t(70000), VT_I2, DISP_E_OVERFLOW, {}},
      {_variant_t(-32768), VT_I2, S_OK, _variant_t(int16_t{-32768})},
      {_variant_t(-32769), VT_I2, DISP_E_OVERFLOW, {}},
      {_variant_t(255), VT_UI1, S_OK, _variant_t(uint8_t{255})},
      {_variant_t(256), VT_UI1, DISP_E_OVERFLOW, {}},
      {_variant_t(-128), VT_I1, S_OK, _variant_t(int8_t{-128})},
      {_variant_t(-1), VT_UI4, DISP_E_OVERFLOW, {}},
      {_variant_t(4294967295u), VT_I4, DISP_E_OVERFLOW, {}},
      {_variant_t(4294967295u), VT_UINT, S_OK, Raw(VT_UINT, 4294967295u)},
      {_variant_t(UINT64_MAX), VT_I8, DISP_E_OVERFLOW, {}},
      {_variant_t(INT64_MIN), VT_R8, S_OK, _variant_t(-9223372036854775808.0)},
      {_variant_t(INT64_MIN), VT_UI8, DISP_E_OVERFLOW, {}},
      {_variant_t(), VT_I4, S_OK, _variant_t(0)},
      {_variant_t(), VT_BSTR, S_OK, _variant_t(u"")},
      {_variant_t(7), VT_EMPTY, S_OK, _variant_t()},
      {Raw(VT_NULL), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {Raw(VT_NULL), VT_BSTR, DISP_E_TYPEMISMATCH, {}},
      {Raw(VT_NULL), VT_EMPTY, DISP_E_TYPEMISMATCH, {}},
      {Raw(VT_NULL), VT_NULL, S_OK, Raw(VT_NULL)},
      {_variant_t(5), VT_NULL, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(5.0, VT_DATE), VT_BSTR, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(u"5"), VT_DATE, DISP_E_TYPEMISMATCH, {}},
      {Raw(VT_CY), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(5), VT_CY, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(5), VT_UNKNOWN, DISP_E_TYPEMISMATCH, {}},
      {_variant_t(5), static_cast<VARTYPE>(VT_ARRAY | VT_I4), DISP_E_BADVARTYPE, {}},
      {_variant_t(5), VARTYPE{99}, DISP_E_BADVARTYPE, {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Conversion& c = cases[i];
    const _variant_t& want = c.want;
    // Into another variant, which keeps its value on failure.
    _variant_t dest(u"before");
    EXPECT_EQ(VariantChangeType(&dest, &c.from, 0, c.to), c.hr) << "case " << i;
    if (SUCCEEDED(c.hr)) {
      EXPECT_TRUE(dest == want) << "case " << i << ": " << Describe(dest) << " vs "
                                << Describe(want);
    } else {
      EXPECT_EQ(Text(dest), u"before") << "case " << i;
    }
    // In place, through the wrapper.
    _variant_t self(c.from);
    EXPECT_EQ(self.ChangeType(c.to), SUCCEEDED(c.hr)) << "case " << i;
    if (SUCCEEDED(c.hr)) {
      EXPECT_TRUE(self == want) << "case " << i << ": " << Describe(self);
    } else {
      EXPECT_EQ(Describe(self), Describe(c.from)) << "case " << i;
    }
  }
  EXPECT_EQ(VariantChangeType(nullptr, &cases[0].from, 0, VT_I4), E_INVALIDARG);
}

TEST(Variant, Equality) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(_variant_t(5) == _variant_t(5));
  EXPECT_FALSE(_variant_t(5) == _variant_t(6));
  EXPECT_FALSE(_variant_t(5) == _variant_t(int16_t{5}));  // type matters
  EXPECT_TRUE(_variant_t(u"abc") == _variant_t(CString(u"abc")));
  EXPECT_FALSE(_variant_t(u"abc") == _variant_t(u"abd"));
  EXPECT_FALSE(_variant_t(u"ab") == _variant_t(u"abc"));
  EXPECT_TRUE(_variant_t(u"") == _variant_t(static_cast<const char16_t*>(nullptr)));
  EXPECT_TRUE(_variant_t() == _variant_t());
  EXPECT_FALSE(_variant_t() == Raw(VT_NULL));
  EXPECT_TRUE(_variant_t(2.5) == _variant_t(2.5));
  EXPECT_FALSE(_variant_t(nan) == _variant_t(nan));
  EXPECT_TRUE(_variant_t(true) == _variant_t(int16_t{1}, VT_BOOL));
  _variant_t reserved(5);
  reserved.wReserved1 = 9;  // not part of the value
  EXPECT_TRUE(reserved == _variant_t(5));
  EXPECT_TRUE(_variant_t(5) != _variant_t(6));
}

}  // namespace

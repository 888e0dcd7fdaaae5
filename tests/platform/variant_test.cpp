// VARIANT and BSTR: allocation, deterministic bytes, deep copies and
// ownership, and the conversion rules of VariantChangeType.
#include "platform/Variant.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <type_traits>

#include "platform/TestData.h"

namespace {

std::string Hex(const void* data, size_t size) {
  std::string out;
  char part[4];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(part, sizeof part, i ? " %02X" : "%02X", static_cast<const uint8_t*>(data)[i]);
    out += part;
  }
  return out;
}

std::u16string Text(const VARIANT& v) {
  return std::u16string(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal));
}

// vt plus the value, strings as UTF-8 text, for readable failures.
std::string Describe(const VARIANT& v) {
  const std::string value = v.vt == VT_BSTR ? CString(Text(v).c_str()).ToUtf8() : Hex(&v.llVal, 8);
  return "vt=" + std::to_string(v.vt) + " " + value;
}

// A variant of any type with raw value bits, for types without a constructor.
_variant_t Raw(VARTYPE vt, uint64_t bits = 0) {
  _variant_t v;
  v.vt = vt;
  v.ullVal = bits;
  return v;
}

const unsigned char kZeros[16] = {};
const char16_t* const kNullText = nullptr;
const VARTYPE kArrayOfI4 = VT_ARRAY | VT_I4;

TEST(Bstr, Allocation) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  // The length prefix counts units, inner zeros included; a terminator follows.
  BSTR part = SysAllocStringLen(u"a\0bcdef", 3);
  uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(part) - 4, 4);
  EXPECT_EQ(prefix, 3u);
  EXPECT_EQ(std::u16string(part, 4), std::u16string(u"a\0b\0", 4));
  SysFreeString(part);
  BSTR zeros = SysAllocStringLen(nullptr, 2);
  EXPECT_EQ(std::u16string(zeros, 3), std::u16string(3, u'\0'));
  SysFreeString(zeros);
}

// A maker of one variant, so that each case can build it over garbage.
#define MAKE(...) [] { return _variant_t(__VA_ARGS__); }

TEST(Variant, ConstructorsPickTypeAndZeroUnusedBytes) {
  static_assert(sizeof(VARIANT) == 16 && sizeof(_variant_t) == 16);
  static_assert(!std::is_constructible_v<_variant_t, const char*>);
  // The 16 bytes, type first, with the pointer of a BSTR left out.
  const std::pair<std::string, _variant_t (*)()> cases[] = {
      {"03 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00", MAKE(5)},
      {"02 00 00 00 00 00 00 00 FE FF 00 00 00 00 00 00", MAKE(int16_t{-2})},
      {"0B 00 00 00 00 00 00 00 FF FF 00 00 00 00 00 00", MAKE(true)},
      {"0B 00 00 00 00 00 00 00 FF FF 00 00 00 00 00 00", MAKE(int16_t{7}, VT_BOOL)},
      {"05 00 00 00 00 00 00 00 00 00 00 00 00 00 04 40", MAKE(2.5)},
      {"04 00 00 00 00 00 00 00 00 00 20 40 00 00 00 00", MAKE(2.5f)},
      {"14 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF", MAKE(-1L)},
      {"15 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00", MAKE(5ULL)},
      {"13 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00", MAKE(5u)},
      {"11 00 00 00 00 00 00 00 C8 00 00 00 00 00 00 00", MAKE(uint8_t{200})},
      {"10 00 00 00 00 00 00 00 F6 00 00 00 00 00 00 00", MAKE(int8_t{-10})},
      {"12 00 00 00 00 00 00 00 34 12 00 00 00 00 00 00", MAKE(uint16_t{0x1234})},
      {"0A 00 00 00 00 00 00 00 07 00 00 00 00 00 00 00", MAKE(7, VT_ERROR)},
      {"07 00 00 00 00 00 00 00 00 00 00 00 00 00 F0 3F", MAKE(1.0, VT_DATE)},
      {"08 00 00 00 00 00 00 00", MAKE(u"x")},
      {"08 00 00 00 00 00 00 00", MAKE(3, VT_BSTR)},
  };
  for (const auto& [bytes, make] : cases) {
    // Construct over garbage so that zeros can only come from the constructor.
    alignas(_variant_t) unsigned char storage[sizeof(_variant_t)];
    std::memset(storage, 0xAA, sizeof(storage));
    _variant_t* v = new (storage) _variant_t(make());
    EXPECT_EQ(Hex(storage, v->vt == VT_BSTR ? 8 : 16), bytes);
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
  _variant_t c(5);
  c = a;
  ASSERT_NE(a.bstrVal, c.bstrVal);
  c.bstrVal[1] = u'Y';
  EXPECT_EQ(Text(a), u"abc");
  const _variant_t& alias = c;
  c = alias;  // self-assignment keeps the value
  EXPECT_EQ(Text(c), u"aYc");
  _variant_t moved(std::move(c));
  EXPECT_EQ(c.vt, VT_EMPTY);  // NOLINT: the moved-from state is defined
  VARIANT raw = moved.Detach();
  EXPECT_EQ(Hex(&moved, 16), Hex(kZeros, 16));
  _variant_t owner(7);
  owner.Attach(raw);
  EXPECT_EQ(Text(owner), u"aYc");

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
  for (const VARTYPE vt :
       {VARTYPE{VT_UNKNOWN}, VARTYPE{VT_DISPATCH}, kArrayOfI4, VARTYPE{0x7777}}) {
    _variant_t odd = Raw(vt);
    odd.byref = &target;
    _variant_t dest(u"keep");
    EXPECT_EQ(VariantCopy(&dest, &odd), DISP_E_BADVARTYPE) << vt;
    EXPECT_EQ(Text(dest), u"keep");
  }
}

// A variant from a table cell, "TYPE:value": "I4:-2", "BSTR:a\\tb", "BSTR:" an
// empty string, "BSTR" a null one, "NULL" a value-less type, "99" a type by
// number. Integers fill all eight value bytes; only the type's own bytes count.
_variant_t Cell(const std::string& cell) {
  static const std::map<std::string, VARTYPE> kTypes = {
      {"EMPTY", VT_EMPTY}, {"NULL", VT_NULL},       {"I1", VT_I1},           {"I2", VT_I2},
      {"I4", VT_I4},       {"I8", VT_I8},           {"UI1", VT_UI1},         {"UI2", VT_UI2},
      {"UI4", VT_UI4},     {"UI8", VT_UI8},         {"UINT", VT_UINT},       {"BOOL", VT_BOOL},
      {"R4", VT_R4},       {"R8", VT_R8},           {"DATE", VT_DATE},       {"BSTR", VT_BSTR},
      {"CY", VT_CY},       {"UNKNOWN", VT_UNKNOWN}, {"ARRAY|I4", kArrayOfI4}};
  const size_t colon = cell.find(':');
  std::string text = colon == std::string::npos ? "" : cell.substr(colon + 1);
  for (size_t tab; (tab = text.find("\\t")) != std::string::npos;) text.replace(tab, 2, "\t");
  const std::string name = cell.substr(0, colon);
  const VARTYPE vt = kTypes.count(name) ? kTypes.at(name) : static_cast<VARTYPE>(std::stoi(name));
  if (vt == VT_BSTR)
    return colon == std::string::npos ? _variant_t(kNullText) : _variant_t(CString::FromUtf8(text));
  if (colon == std::string::npos) return vt == VT_EMPTY ? _variant_t() : Raw(vt);
  const double real = std::strtod(text.c_str(), nullptr);
  const float single = static_cast<float>(real);
  uint64_t bits = 0;
  if (vt == VT_R8 || vt == VT_DATE)
    std::memcpy(&bits, &real, 8);
  else if (vt == VT_R4)
    std::memcpy(&bits, &single, 4);
  else
    bits = text[0] == '-' ? static_cast<uint64_t>(std::stoll(text)) : std::stoull(text);
  return Raw(vt, bits);
}

TEST(Variant, ChangeTypeTable) {
  const std::map<std::string, HRESULT> kResults = {{"OK", S_OK},
                                                   {"OVERFLOW", DISP_E_OVERFLOW},
                                                   {"MISMATCH", DISP_E_TYPEMISMATCH},
                                                   {"BADVARTYPE", DISP_E_BADVARTYPE}};
  for (const auto& row : testdata::Rows("platform", "change_type.tsv")) {
    ASSERT_GE(row.size(), 3u);
    const _variant_t from = Cell(row[0]);
    const VARTYPE to = Cell(row[1] + ":0").vt;
    const HRESULT hr = kResults.at(row[2]);
    const std::string line = row[0] + " -> " + row[1];
    // Into another variant, which keeps its value on failure, and in place.
    const _variant_t want = SUCCEEDED(hr) ? Cell(row.at(3)) : _variant_t(u"before");
    _variant_t dest(u"before"), self(from);
    EXPECT_EQ(VariantChangeType(&dest, &from, 0, to), hr) << line;
    EXPECT_TRUE(dest == want) << line << ": " << Describe(dest) << " vs " << Describe(want);
    EXPECT_EQ(self.ChangeType(to), SUCCEEDED(hr)) << line;
    EXPECT_TRUE(SUCCEEDED(hr) ? self == dest : Describe(self) == Describe(from))
        << line << ": " << Describe(self);
  }
  _variant_t from(5);
  EXPECT_EQ(VariantChangeType(nullptr, &from, 0, VT_I4), E_INVALIDARG);
}

}  // namespace

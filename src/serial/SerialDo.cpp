// The free Do() functions for plain values: one field each, of a fixed width.
#include "serial/SerialDo.h"

#include <cstring>

#include "serial/SerialStrategies.h"

namespace Serial {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the format is little-endian and values are copied as they are in memory");

namespace {

// Writes or reads `width` bytes at `data`; reading needs exactly that width.
bool DoBytes(ISerialStream& s, void* data, unsigned int width) {
  if (!s.IsReading()) {
    s.WriteField(width, data);
    return true;
  }
  unsigned int size = 0;
  const void* field = s.ReadField(size);
  if (!field || size != width) return false;
  std::memcpy(data, field, width);
  return true;
}

template <typename T>
bool DoPlain(ISerialStream& s, T& value) {
  return DoBytes(s, &value, sizeof(T));
}

}  // namespace

bool Do(ISerialStream& s, char& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, signed char& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, unsigned char& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, short& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, unsigned short& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, int& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, unsigned int& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, float& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, double& value) { return DoPlain(s, value); }
bool Do(ISerialStream& s, tagRECT& value) { return DoPlain(s, value); }

bool Do(ISerialStream& s, bool& value) {
  // Through a byte: any stored byte other than 0 reads as true, and no
  // invalid bool value is ever formed in memory.
  unsigned char byte = value ? 1 : 0;
  if (!DoPlain(s, byte)) return false;
  value = byte != 0;
  return true;
}

bool Do(ISerialStream& s, unsigned long& value) {
  uint32_t narrow = static_cast<uint32_t>(value);
  if (!DoPlain(s, narrow)) return false;
  if (s.IsReading()) value = narrow;
  return true;
}

bool Do(ISerialStream& s, CString& value) {
  if (!s.IsReading()) {
    s.WriteField(static_cast<unsigned int>(value.GetLength()) * 2u, value.GetString());
    return true;
  }
  unsigned int size = 0;
  const void* field = s.ReadField(size);
  if (!field || size % 2 != 0) return false;
  value.SetUnits(field, static_cast<int>(size / 2));
  return true;
}

namespace {

// Types whose whole value sits in the 16 bytes of the structure.
bool IsPlainVariantType(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8:
    case VT_DATE: case VT_ERROR: case VT_BOOL: case VT_I1: case VT_UI1: case VT_UI2:
    case VT_UI4: case VT_INT: case VT_UINT: case VT_VOID: case VT_HRESULT:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool Do(ISerialStream& s, _variant_t& value) {
  if (!s.IsReading()) {
    VARIANT raw = value;
    // The pointer of a string means nothing in a file; zeros keep saves
    // byte-identical.
    if (raw.vt == VT_BSTR) raw.llVal = 0;
    s.WriteField(sizeof(VARIANT), &raw);
    if (value.vt == VT_BSTR) {
      CString text(value.bstrVal, static_cast<int>(SysStringLen(value.bstrVal)));
      return Do(s, text);
    }
    return IsPlainVariantType(value.vt);
  }
  unsigned int size = 0;
  const void* field = s.ReadField(size);
  if (!field || size != sizeof(VARIANT)) return false;
  VARIANT raw;
  std::memcpy(&raw, field, sizeof(VARIANT));
  if (raw.vt == VT_BSTR) {
    CString text;
    if (!Do(s, text)) return false;
    raw.bstrVal = SysAllocStringLen(text.GetString(), static_cast<unsigned int>(text.GetLength()));
  } else if (!IsPlainVariantType(raw.vt)) {
    return false;  // pointers and arrays cannot come from a file
  }
  value.Clear();
  value.Attach(raw);
  return true;
}

bool Do(ISerialStream& s, std::vector<CString>& value) {
  DefaultSerialStrategy<CString> element;
  return STLContainerSerialStrategy<std::vector<CString>, CString>(element).Do(s, value);
}

bool Do(ISerialStream& s, std::set<CString>& value) {
  DefaultSerialStrategy<CString> element;
  return STLContainerSerialStrategy<std::set<CString>, CString>(element).Do(s, value);
}

}  // namespace Serial

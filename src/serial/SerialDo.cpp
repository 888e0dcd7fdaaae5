// The free Do() functions for plain values: one field each, of a fixed width.
#include "serial/SerialDo.h"

#include <cstring>

#include "serial/SerialPath.h"
#include "serial/SerialStrategies.h"

namespace Serial {

namespace {

// The layouts of SerialPath.h on the stream's interface, so that the binary
// paths write the same bytes.
template <typename T>
bool DoPlain(ISerialStream& s, T& value) {
  StreamPath path(s);
  return DoFixed(path, value);
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
  StreamPath path(s);
  return DoBool(path, value);
}

bool Do(ISerialStream& s, unsigned long& value) {
  uint32_t narrow = static_cast<uint32_t>(value);
  if (!DoPlain(s, narrow)) return false;
  if (s.IsReading()) value = narrow;
  return true;
}

bool Do(ISerialStream& s, CString& value) {
  StreamPath path(s);
  return DoText(path, value);
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

// The basic property classes and their registrations. The registry lives in
// this file too, so that any use of it links the classes that fill it.
#include "props/Prop.h"

#include <cstring>

#include "serial/SerialPath.h"

PropClassRegistry& PropClassRegistry::instance() {
  static PropClassRegistry registry;
  return registry;
}

CProp* PropClassRegistry::CreateProp(const Serial::NodeName& name) const {
  Serial::SerialClass* c = Find(name);
  if (!c) return nullptr;
  Serial::SerialObject* object = c->Create();
  if (propClasses_.count(c) != 0) return static_cast<CProp*>(object);
  // A class registered some other way: it may make anything.
  auto* typed = dynamic_cast<CProp*>(object);
  if (!typed) delete object;
  return typed;
}

CPropClass::CPropClass(const Serial::NodeName& name)
    : Serial::SerialClass(name, PropClassRegistry::instance()) {}

const std::vector<unsigned char>& CProp::GetData() const {
  static const std::vector<unsigned char> empty;
  return empty;
}

// Byte names for the five basic classes keep every stored value one byte
// shorter; the names are the types' identities in stored data.
ITEMLIB_REGISTER_PROP(CEmptyProp, static_cast<unsigned char>('c'));
ITEMLIB_REGISTER_PROP(CStrProp, static_cast<unsigned char>('d'));
ITEMLIB_REGISTER_PROP(CBinaryProp, static_cast<unsigned char>('e'));
ITEMLIB_REGISTER_PROP(CIntProp, static_cast<unsigned char>('f'));
ITEMLIB_REGISTER_PROP(CBoolProp, static_cast<unsigned char>('g'));
ITEMLIB_REGISTER_PROP(CIntVectorProp, u"IntVectorType");
ITEMLIB_REGISTER_PROP(CStrSetProp, u"StrSetProp");
ITEMLIB_REGISTER_PROP(CVariantProp, u"VariantProp");

CBinaryProp::CBinaryProp(const void* data, int size) : CSimpleProp(classInstance, {}) {
  if (size > 0) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    value.assign(bytes, bytes + size);
  }
}

void CBinaryProp::AddBinaryBlock(const unsigned char* data, unsigned int size) {
  if (size != 0) value.insert(value.end(), data, data + size);
}

bool DoPropValue(Serial::ISerialStream& s, std::vector<unsigned char>& value) {
  Serial::StreamPath path(s);
  return Serial::DoBlock(path, value);
}

CString CIntProp::AsString() const {
  CString text;
  text.Format(u"#%d", value);
  return text;
}

bool DoPropValue(Serial::ISerialStream& s, std::vector<int>& value) {
  if (!s.IsReading()) {
    s.WriteField(static_cast<unsigned int>(value.size() * sizeof(int)), value.data());
    return true;
  }
  unsigned int size = 0;
  const void* field = s.ReadField(size);
  if (!field || size % sizeof(int) != 0) return false;
  value.resize(size / sizeof(int));
  if (size != 0) std::memcpy(value.data(), field, size);
  return true;
}

bool CVariantProp::operator<(const CVariantProp& other) const {
  if (value.vt != other.value.vt) return value.vt < other.value.vt;
  if (value.vt == VT_BSTR) {
    const CString a(value.bstrVal, static_cast<int>(SysStringLen(value.bstrVal)));
    const CString b(other.value.bstrVal, static_cast<int>(SysStringLen(other.value.bstrVal)));
    return a < b;
  }
  // Any strict order serves: nothing relies on it beyond consistency.
  return std::memcmp(&value.llVal, &other.value.llVal, sizeof value.llVal) < 0;
}

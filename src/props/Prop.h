// Property values: small polymorphic objects that know their class. The
// class creates, clones, compares and names values of its type; its name is
// what a serial stream stores so that a reader recreates the right type.
#pragma once

#include <set>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "platform/CString.h"
#include "platform/Variant.h"
#include "serial/SerialClass.h"
#include "serial/SerialStrategies.h"

class CProp;

// The registry of every property class, filled at library load.
class PropClassRegistry : public Serial::SerialClassRegistry {
 public:
  // Built on first use, so that it exists before the first class registers.
  static PropClassRegistry& instance();

  // A new value of the class registered under `name`; null when no class has
  // the name or its objects are not property values. The caller owns it.
  CProp* CreateProp(const Serial::NodeName& name) const;

 private:
  template <typename T>
  friend class CPropClassImpl;

  // Classes known to create property values: their objects need no run-time
  // type check, which costs a string comparison per base class on every
  // value read.
  std::unordered_set<const Serial::SerialClass*> propClasses_;
};

// The class of a property value. Exactly one object exists per class (its
// `classInstance`), and equality of values relies on that identity.
class CPropClass : public Serial::SerialClass {
 public:
  // Registers the class under `name` in PropClassRegistry::instance().
  explicit CPropClass(const Serial::NodeName& name);

  // False unless both values belong to this very class; then value equality.
  virtual bool IsEqual(const CProp& a, const CProp& b) const = 0;
  // Values of different classes order by class name (string names before
  // byte names); values of this class by the value order.
  virtual bool IsLess(const CProp& a, const CProp& b) const = 0;
  // A copy of `p`, or null when `p` is not of this class. The caller owns it.
  virtual CProp* Clone(const CProp& p) const = 0;
};

// Base of every property value. Owned by whoever holds the pointer,
// normally a property container, and deleted through this class.
class CProp : public Serial::SerialObject {
 public:
  explicit CProp(CPropClass& propClass) : Serial::SerialObject(propClass) {}

  // The value as a string where it is one; "" otherwise.
  virtual CString GetStr() const { return CString(); }
  // The value as an integer where it is one; 0 otherwise.
  virtual int GetInt() const { return 0; }
  // The byte block of a binary value; empty otherwise.
  virtual const std::vector<unsigned char>& GetData() const;
  // A display text; "Unknown" where the class has none.
  virtual CString AsString() const { return u"Unknown"; }

  CPropClass& GetPropClass() const { return static_cast<CPropClass&>(GetSerialClass()); }
  CProp* Clone() const { return GetPropClass().Clone(*this); }
  bool IsEqual(const CProp& other) const { return GetPropClass().IsEqual(*this, other); }
  bool IsLess(const CProp& other) const { return GetPropClass().IsLess(*this, other); }
  bool operator<(const CProp& other) const { return IsLess(other); }
};

// The class object of value class `T`, which must offer `T(CPropClass&)`,
// a copy constructor, `==` and `<`.
template <typename T>
class CPropClassImpl : public CPropClass {
 public:
  explicit CPropClassImpl(const Serial::NodeName& name) : CPropClass(name) {
    static_assert(std::is_base_of_v<CProp, T>, "a property class makes property values");
    PropClassRegistry::instance().propClasses_.insert(this);
  }
  ~CPropClassImpl() override { PropClassRegistry::instance().propClasses_.erase(this); }

  Serial::SerialObject* Create() override { return new T(*this); }

  bool IsEqual(const CProp& a, const CProp& b) const override {
    if (!Owns(a) || !Owns(b)) return false;
    return static_cast<const T&>(a) == static_cast<const T&>(b);
  }

  bool IsLess(const CProp& a, const CProp& b) const override {
    const Serial::NodeName& nameA = a.GetPropClass().GetName();
    const Serial::NodeName& nameB = b.GetPropClass().GetName();
    if (nameA < nameB) return true;
    if (nameB < nameA) return false;
    if (!Owns(a) || !Owns(b)) return false;
    return static_cast<const T&>(a) < static_cast<const T&>(b);
  }

  CProp* Clone(const CProp& p) const override {
    return Owns(p) ? new T(static_cast<const T&>(p)) : nullptr;
  }

 private:
  bool Owns(const CProp& p) const { return &p.GetSerialClass() == this; }
};

// A value with no content: its presence is the information.
class CEmptyProp : public CProp {
 public:
  static CPropClassImpl<CEmptyProp> classInstance;
  explicit CEmptyProp(CPropClass& c = classInstance) : CProp(c) {}
  bool Do(Serial::ISerialStream&) override { return true; }
  bool operator==(const CEmptyProp&) const { return true; }
  bool operator<(const CEmptyProp&) const { return false; }
};

// How a simple value is serialised: by its default strategy, except for the
// two vector types, which are stored as one field each.
template <typename T>
bool DoPropValue(Serial::ISerialStream& s, T& value) {
  return Serial::DefaultSerialStrategy<T>().Do(s, value);
}
// All bytes as one field.
bool DoPropValue(Serial::ISerialStream& s, std::vector<unsigned char>& value);
// One field of four bytes per element; another size reads as false.
bool DoPropValue(Serial::ISerialStream& s, std::vector<int>& value);

// A value of type `T`.
template <typename T>
class CSimpleProp : public CProp {
 public:
  CSimpleProp(CPropClass& c, const T& v) : CProp(c), value(v) {}
  operator const T&() const { return value; }  // NOLINT: reads like the value
  const T& Get() const { return value; }
  bool operator==(const CSimpleProp& other) const { return value == other.value; }
  bool operator<(const CSimpleProp& other) const { return value < other.value; }
  bool Do(Serial::ISerialStream& s) override { return DoPropValue(s, value); }

  T value;
};

// A property class that only wraps a value type, declared in one line; its
// registration is ITEMLIB_REGISTER_PROP in one source file.
#define ITEMLIB_VALUE_PROP(Name, Type)                              \
  class Name : public CSimpleProp<Type> {                           \
   public:                                                          \
    static CPropClassImpl<Name> classInstance;                      \
    explicit Name(CPropClass& c) : CSimpleProp(c, Type()) {}        \
    explicit Name(const Type& v) : CSimpleProp(classInstance, v) {} \
  }

// Registers `Name` under `nodeName` (a byte or a string) at library load.
#define ITEMLIB_REGISTER_PROP(Name, nodeName) \
  CPropClassImpl<Name> Name::classInstance { Serial::NodeName(nodeName) }

class CStrProp : public CSimpleProp<CString> {
 public:
  static CPropClassImpl<CStrProp> classInstance;
  explicit CStrProp(CPropClass& c) : CSimpleProp(c, CString()) {}
  explicit CStrProp(const CString& v) : CSimpleProp(classInstance, v) {}
  CString GetStr() const override { return value; }
  CString AsString() const override { return value; }
};

class CBinaryProp : public CSimpleProp<std::vector<unsigned char>> {
 public:
  static CPropClassImpl<CBinaryProp> classInstance;
  explicit CBinaryProp(CPropClass& c) : CSimpleProp(c, {}) {}
  explicit CBinaryProp(const std::vector<unsigned char>& v) : CSimpleProp(classInstance, v) {}
  CBinaryProp(const void* data, int size);
  // Appends bytes: a translation's data is assembled from chunks.
  void AddBinaryBlock(const unsigned char* data, unsigned int size);
  const std::vector<unsigned char>& GetData() const override { return value; }
};

class CIntProp : public CSimpleProp<int> {
 public:
  static CPropClassImpl<CIntProp> classInstance;
  explicit CIntProp(CPropClass& c) : CSimpleProp(c, 0) {}
  explicit CIntProp(int v) : CSimpleProp(classInstance, v) {}
  int GetInt() const override { return value; }
  // "#<value>".
  CString AsString() const override;
};

class CBoolProp : public CSimpleProp<bool> {
 public:
  static CPropClassImpl<CBoolProp> classInstance;
  explicit CBoolProp(CPropClass& c) : CSimpleProp(c, false) {}
  explicit CBoolProp(bool v) : CSimpleProp(classInstance, v) {}
  int GetInt() const override { return value ? 1 : 0; }
  CString AsString() const override { return value ? u"true" : u"false"; }
};

ITEMLIB_VALUE_PROP(CIntVectorProp, std::vector<int>);
ITEMLIB_VALUE_PROP(CStrSetProp, std::set<CString>);

// An OLE variant. Values order by type, then by content, so that sorting
// them is well defined.
class CVariantProp : public CProp {
 public:
  static CPropClassImpl<CVariantProp> classInstance;
  explicit CVariantProp(CPropClass& c) : CProp(c) {}
  explicit CVariantProp(const _variant_t& v) : CProp(classInstance), value(v) {}
  CVariantProp(CPropClass& c, const _variant_t& v) : CProp(c), value(v) {}
  operator const _variant_t&() const { return value; }  // NOLINT
  bool Do(Serial::ISerialStream& s) override { return Serial::Do(s, value); }
  bool operator==(const CVariantProp& other) const { return value == other.value; }
  bool operator<(const CVariantProp& other) const;

  _variant_t value;
};

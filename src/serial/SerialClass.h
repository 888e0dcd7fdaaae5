// Polymorphic serialisable objects, the classes that create them, and the
// registry that finds a class by the name a stream stores for it.
#pragma once

#include <map>
#include <vector>

#include "serial/ISerialStream.h"
#include "serial/NodeName.h"

namespace Serial {

struct SerialClass;

// Base of every polymorphic serialisable object; knows its class.
struct SerialObject {
  explicit SerialObject(SerialClass& serialClass) : serialClass_(&serialClass) {}
  virtual ~SerialObject() = default;
  virtual bool Do(ISerialStream& s) = 0;
  SerialClass& GetSerialClass() const { return *serialClass_; }

 private:
  SerialClass* serialClass_;
};

class SerialClassRegistry;

// Describes one serialisable class. Objects of this type are statics: each
// registers itself on construction and unregisters on destruction, so the
// registry must be constructed first (reach it through a function-local
// static).
struct SerialClass {
  SerialClass(const NodeName& name, SerialClassRegistry& registry);
  virtual ~SerialClass();
  SerialClass(const SerialClass&) = delete;
  SerialClass& operator=(const SerialClass&) = delete;

  // A new object of the class with default content; the caller owns it.
  virtual SerialObject* Create() = 0;
  const NodeName& GetName() const { return name_; }

 private:
  NodeName name_;
  SerialClassRegistry* registry_;
};

// Classes by name: 256 slots for byte names, a map for the others.
class SerialClassRegistry {
 public:
  SerialClassRegistry() : byByte_(256, nullptr) {}
  SerialClassRegistry(const SerialClassRegistry&) = delete;
  SerialClassRegistry& operator=(const SerialClassRegistry&) = delete;

  // A byte name replaces the slot's class; another name is added unless it
  // is present, in which case the earlier class stays in force.
  void Register(SerialClass& c);
  // Clears the byte slot or removes the map entry of the class's name,
  // when the class is the one registered there.
  void Unregister(SerialClass& c);
  // A new object of the named class, or null when no class has the name.
  SerialObject* Create(const NodeName& name) const;
  // The class registered under `name`, or null.
  SerialClass* Find(const NodeName& name) const;

 private:
  std::map<NodeName, SerialClass*> byName_;
  std::vector<SerialClass*> byByte_;
};

// A class whose objects are default-constructed `T`s; `T` takes its
// SerialClass in its constructor.
template <typename T>
struct SerialClassImpl : SerialClass {
  using SerialClass::SerialClass;
  SerialObject* Create() override { return new T(*this); }
};

}  // namespace Serial

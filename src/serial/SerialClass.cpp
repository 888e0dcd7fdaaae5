// The class registry. Byte names index a fixed table because they are the
// compact names of the most frequent classes.
#include "serial/SerialClass.h"

namespace Serial {

SerialClass::SerialClass(const NodeName& name, SerialClassRegistry& registry)
    : name_(name), registry_(&registry) {
  registry_->Register(*this);
}

SerialClass::~SerialClass() { registry_->Unregister(*this); }

void SerialClassRegistry::Register(SerialClass& c) {
  const NodeName& name = c.GetName();
  if (name.GetType() == NodeName::BYTE) {
    byByte_[name.GetByteValue()] = &c;
  } else {
    byName_.emplace(name, &c);  // keeps an earlier class of the same name
  }
}

void SerialClassRegistry::Unregister(SerialClass& c) {
  const NodeName& name = c.GetName();
  // Only the class in force leaves: a class that was replaced or dropped
  // at registration must not take its successor with it.
  if (name.GetType() == NodeName::BYTE) {
    if (byByte_[name.GetByteValue()] == &c) byByte_[name.GetByteValue()] = nullptr;
  } else {
    const auto it = byName_.find(name);
    if (it != byName_.end() && it->second == &c) byName_.erase(it);
  }
}

SerialClass* SerialClassRegistry::Find(const NodeName& name) const {
  if (name.GetType() == NodeName::BYTE) return byByte_[name.GetByteValue()];
  const auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

SerialObject* SerialClassRegistry::Create(const NodeName& name) const {
  SerialClass* c = Find(name);
  return c ? c->Create() : nullptr;
}

}  // namespace Serial

// The property container: an owning map of values with a change handler.
#include "props/PropContainer.h"

#include <memory>
#include <utility>

#include "serial/BinaryPaths.h"

CPropContainer::~CPropContainer() { Clear(); }

void CPropContainer::Clear() {
  for (auto& entry : props_) delete entry.second;
  props_.clear();
}

const CProp* CPropContainer::GetPropW(const CPropName& name) const {
  const auto it = props_.find(name);
  return it == props_.end() ? nullptr : it->second;
}

void CPropContainer::SetPropW(const CPropName& name, CProp* value) {
  if (!value) return;
  std::unique_ptr<CProp> owned(value);
  auto it = props_.find(name);
  CProp* const old = it == props_.end() ? nullptr : it->second;
  if (handler_) handler_->OnBeforePropChange(*this, name, old, value);
  if (it == props_.end()) {
    props_.emplace(name, owned.release());
  } else {
    it->second = owned.release();
  }
  if (handler_) handler_->OnAfterPropChange(*this, name, old, value);
  delete old;
}

void CPropContainer::SetPropW(const CPropName& name) { SetPropW(name, new CEmptyProp()); }

CProp* CPropContainer::RemovePropW(const CPropName& name) {
  const auto it = props_.find(name);
  if (it == props_.end()) return nullptr;
  CProp* const old = it->second;
  if (handler_) handler_->OnBeforePropChange(*this, name, old, nullptr);
  props_.erase(it);
  if (handler_) handler_->OnAfterPropChange(*this, name, old, nullptr);
  return old;
}

void CPropContainer::Copy(const CPropContainer& other) {
  if (&other == this) return;
  Clear();
  for (const auto& entry : other.props_) {
    if (CProp* clone = entry.second->Clone()) props_.emplace_hint(props_.end(), entry.first, clone);
  }
}

bool CPropContainer::operator==(const CPropContainer& other) const {
  if (props_.size() != other.props_.size()) return false;
  auto theirs = other.props_.begin();
  for (const auto& mine : props_) {
    if (!mine.second->IsEqual(*theirs->second)) return false;
    ++theirs;
  }
  return true;
}

namespace {

using Serial::NodeName;

// A value's content by its class: the five basic classes' layouts inline
// (each is exactly what the class's Do() writes), any other through the
// value's own Do() on the path's stream.
template <typename Path>
bool DoContent(Path& p, CProp& value) {
  const Serial::SerialClass* c = &value.GetSerialClass();
  if (c == &CStrProp::classInstance) return Serial::DoText(p, static_cast<CStrProp&>(value).value);
  if (c == &CIntProp::classInstance) return Serial::DoFixed(p, static_cast<CIntProp&>(value).value);
  if (c == &CBoolProp::classInstance) return Serial::DoBool(p, static_cast<CBoolProp&>(value).value);
  if (c == &CEmptyProp::classInstance) return true;
  if (c == &CBinaryProp::classInstance) {
    return Serial::DoBlock(p, static_cast<CBinaryProp&>(value).value);
  }
  return p.Generic([&value](Serial::ISerialStream& s) { return value.Do(s); });
}

// A new value of the class stored under `byte`. The basic classes' byte
// names are their identities in stored data, so they need no look-up.
CProp* CreateByByte(unsigned char byte) {
  switch (byte) {
    case 'c': return new CEmptyProp(CEmptyProp::classInstance);
    case 'd': return new CStrProp(CStrProp::classInstance);
    case 'e': return new CBinaryProp(CBinaryProp::classInstance);
    case 'f': return new CIntProp(CIntProp::classInstance);
    case 'g': return new CBoolProp(CBoolProp::classInstance);
    default: return PropClassRegistry::instance().CreateProp(NodeName(byte));
  }
}

// An owned value: a null flag, the class name as a node name's fields, the
// content. Reading expects a null pointer to fill; an unknown class gives
// false with the pointer left null.
template <typename Path>
bool DoValue(Path& p, CProp*& value) {
  bool isNull = value == nullptr;
  if (!Serial::DoBool(p, isNull)) return false;
  if (isNull) return true;
  if (!p.IsReading()) {
    const NodeName& name = value->GetSerialClass().GetName();
    unsigned char type = name.GetType();
    Serial::DoFixed(p, type);
    if (type == NodeName::BYTE) {
      unsigned char byte = name.GetByteValue();
      Serial::DoFixed(p, byte);
    } else if (type == NodeName::STRING) {
      Serial::DoText(p, const_cast<CString&>(name.GetStrValue()));  // writing leaves it
    }
    return DoContent(p, *value);
  }
  unsigned char type = NodeName::NONE;
  if (!Serial::DoFixed(p, type) || type > NodeName::BYTE) return false;
  if (type == NodeName::BYTE) {
    unsigned char byte = 0;
    if (!Serial::DoFixed(p, byte)) return false;
    value = CreateByByte(byte);
  } else if (type == NodeName::STRING) {
    CString text;
    if (!Serial::DoText(p, text)) return false;
    value = PropClassRegistry::instance().CreateProp(NodeName(text));
  } else {
    value = PropClassRegistry::instance().CreateProp(NodeName());
  }
  if (!value) return false;
  return DoContent(p, *value);
}

// One stored entry: an anonymous node with the name, one with the value.
template <typename Path>
bool ReadEntry(Path& p, std::pair<CPropName, CProp*>& entry) {
  if (!p.Enter()) return false;
  const bool nameOk = entry.first.DoOn(p);
  p.Leave();
  if (!nameOk) return false;
  if (!p.Enter()) return false;
  const bool valueOk = DoValue(p, entry.second);
  p.Leave();
  return valueOk;
}

}  // namespace

bool CPropContainer::Do(Serial::ISerialStream& s) {
  return Serial::WithPath(s, [this](auto& p) { return DoOn(p); });
}

// The layout of a map of pairs: a count, then per entry an anonymous node
// holding the name's and the value's nodes.
template <typename Path>
bool CPropContainer::DoOn(Path& outer) {
  if (!outer.IsReading()) {
    auto p = outer.Local();
    p.Enter(static_cast<unsigned char>(1));
    unsigned int count = static_cast<unsigned int>(props_.size());
    Serial::DoFixed(p, count);
    for (auto& entry : props_) {
      p.Enter();
      p.Enter();
      const_cast<CPropName&>(entry.first).DoOn(p);  // writing leaves the name as it is
      p.Leave();
      p.Enter();
      const bool written = DoValue(p, entry.second);
      p.Leave();
      p.Leave();
      // A reader stops at the entry it cannot read and expects the node's
      // end there: entries written after it would make the stream unreadable.
      if (!written) break;
    }
    p.Leave();
    return true;
  }

  auto p = outer.Local();
  Clear();
  if (!p.Enter(static_cast<unsigned char>(1))) return true;
  unsigned int count = 0;
  // No reserve(count): the count comes from the stream and is not trusted.
  // The first entry that fails to read ends the list.
  if (Serial::DoFixed(p, count)) {
    for (unsigned int i = 0; i < count; ++i) {
      std::pair<CPropName, CProp*> entry{};
      if (!p.Enter()) break;
      bool ok = false;
      try {
        ok = ReadEntry(p, entry);
        p.Leave();
      } catch (...) {
        delete entry.second;
        throw;
      }
      if (!ok) {
        delete entry.second;
        break;
      }
      // A stored null is no entry; a repeated name keeps the first value.
      // Names arrive in order, so the end is the place to try first.
      const size_t before = props_.size();
      if (entry.second) props_.emplace_hint(props_.end(), std::move(entry.first), entry.second);
      if (props_.size() == before) delete entry.second;
    }
  }
  p.Leave();
  return true;
}

template bool CPropContainer::DoOn(Serial::StreamPath&);
template bool CPropContainer::DoOn(Serial::Binary::BinaryOutPath&);
template bool CPropContainer::DoOn(Serial::Binary::BinaryInPath&);

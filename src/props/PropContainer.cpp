// The property container. Reading is written out here rather than through
// the generic map strategy: a value that fails or throws halfway through must
// be freed, which the generic strategy cannot know how to do.
#include "props/PropContainer.h"

#include <memory>

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

bool CPropContainer::Do(Serial::ISerialStream& s) {
  using Serial::NodeName;
  Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
  Serial::SerialClassStrategy<CProp> valueStrategy(factory);

  if (!s.IsReading()) {
    Serial::DefaultSerialStrategy<CPropName> nameStrategy;
    Serial::PairSerialStrategy<CPropName, CProp*> pair(nameStrategy, valueStrategy);
    Serial::MapSerialStrategy<std::map<CPropName, CProp*>> map(pair);
    s.EnterNode(NodeName(static_cast<unsigned char>(1)));
    map.Do(s, props_);
    s.LeaveNode();
    return true;
  }

  Clear();
  if (!s.EnterNode(NodeName(static_cast<unsigned char>(1)))) return true;
  unsigned int count = 0;
  if (Serial::Do(s, count)) {
    for (unsigned int i = 0; i < count; ++i) {
      if (!s.EnterNode(NodeName())) break;
      CPropName name;
      bool ok = false;
      if (s.EnterNode(NodeName())) {
        ok = name.Do(s);
        s.LeaveNode();
      }
      std::unique_ptr<CProp> value;
      if (ok && s.EnterNode(NodeName())) {
        CProp* raw = nullptr;
        try {
          ok = valueStrategy.Do(s, raw);
        } catch (...) {
          delete raw;
          throw;
        }
        value.reset(raw);
        s.LeaveNode();
      } else {
        ok = false;
      }
      s.LeaveNode();
      // A stored null value is no entry: no entry ever holds null.
      if (!ok) break;
      if (value) props_.emplace(name, value.release());  // a repeated name keeps the first
    }
  }
  s.LeaveNode();
  return true;
}

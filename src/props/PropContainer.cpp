// The property container: an owning map of values with a change handler.
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

namespace {

// Property values by class name, without the general factory's run-time cast.
class PropFactory : public Serial::IPolyFactory<CProp> {
 public:
  CProp* Create(const Serial::NodeName& className) override {
    return PropClassRegistry::instance().CreateProp(className);
  }
};

}  // namespace

bool CPropContainer::Do(Serial::ISerialStream& s) {
  using Serial::NodeName;
  PropFactory factory;
  Serial::SerialClassStrategy<CProp> valueStrategy(factory);
  Serial::DefaultSerialStrategy<CPropName> nameStrategy;
  Serial::PairSerialStrategy<CPropName, CProp*> pair(nameStrategy, valueStrategy);

  if (!s.IsReading()) {
    // The map strategy's layout, written in place: going through it would
    // copy every name (a string allocation per property) on the hot path.
    s.EnterNode(NodeName(static_cast<unsigned char>(1)));
    unsigned int count = static_cast<unsigned int>(props_.size());
    Serial::Do(s, count);
    for (auto& entry : props_) {
      s.EnterNode(NodeName());
      s.EnterNode(NodeName());
      const_cast<CPropName&>(entry.first).Do(s);  // writing leaves the name as it is
      s.LeaveNode();
      s.EnterNode(NodeName());
      const bool written = valueStrategy.Do(s, entry.second);
      s.LeaveNode();
      s.LeaveNode();
      // A reader stops at the entry it cannot read and expects the node's
      // end there: entries written after it would make the stream unreadable.
      if (!written) break;
    }
    s.LeaveNode();
    return true;
  }

  Clear();
  if (!s.EnterNode(NodeName(static_cast<unsigned char>(1)))) return true;
  Serial::ReadElements(
      s, pair,
      [this](std::pair<CPropName, CProp*>&& entry) {
        // A stored null is no entry; a repeated name keeps the first value.
        // Names arrive in order, so the end is the place to try first.
        const size_t before = props_.size();
        if (entry.second) props_.emplace_hint(props_.end(), std::move(entry.first), entry.second);
        if (props_.size() == before) delete entry.second;
      },
      [](std::pair<CPropName, CProp*>& entry) { delete entry.second; });
  s.LeaveNode();
  return true;
}

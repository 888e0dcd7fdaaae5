// Resource items: the tree, the notifying setters, copying, comparison and
// the serial layout of an item.
#include "items/ResItem.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "items/ItemEvents.h"
#include "serial/BinaryPaths.h"

namespace {

CItemEventServer& Events() { return CItemEventServer::Instance(); }

// Nesting of items being read or written. A hostile stream must not exhaust
// the stack when read, and a project the reader refuses must not be written:
// both directions stop at the same depth.
thread_local int itemDepth = 0;

struct NestingGuard {
  NestingGuard() : within(++itemDepth <= CResItem::MaxNestingDepth) {}
  ~NestingGuard() { --itemDepth; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;
  const bool within;
};

}  // namespace

CResItem::CResItem()
    : CPropContainer(this), type_(0), cfgProps_(this), resId_(u"@"), tabNum_(0), dataSize_(0),
      state_(0), parent_(nullptr) {}

CResItem::CResItem(const CResItem& other) : CResItem() { *this = other; }

CResItem& CResItem::operator=(const CResItem& other) {
  if (this == &other) return *this;
  CMultiOperation group;
  Store(type_, other.type_);
  Store(tabNum_, other.tabNum_);
  Store(state_, other.state_);
  Store(comment_, other.comment_);
  Store(resId_, other.resId_);
  SetData(other.GetData(), other.GetDataSize());
  Copy(other);
  cfgProps_.Copy(other.cfgProps_);
  return *this;
}

CResItem::~CResItem() {
  Events().OnMultiOperationBegin();
  Events().OnResItemDelete(this);
  for (CResItem* child : children_) delete child;
  children_.clear();
  for (auto& entry : translations_) delete entry.second;
  translations_.clear();
  parent_ = nullptr;
  Events().OnMultiOperationEnd();
}

void CResItem::NotifyChange() { Events().OnResItemChange(this); }

void CResItem::SetType(int type) { Store(type_, type); }
void CResItem::SetComment(const CString& comment) { Store(comment_, comment); }
void CResItem::SetResId(const CString& resId) { Store(resId_, resId); }
void CResItem::SetTabNum(int tabNum) { Store(tabNum_, tabNum); }
void CResItem::SetState(int state) { Store(state_, state); }
void CResItem::SetParent(CResItem* parent) { Store(parent_, parent); }

void CResItem::SetReadOnly(bool readOnly) {
  Store(state_, readOnly ? state_ | ReadOnlyState : state_ & ~ReadOnlyState);
}

void CResItem::SetItemLocked(bool locked) {
  Store(state_, locked ? state_ | LockedState : state_ & ~LockedState);
}

void CResItem::SetData(const unsigned char* data, unsigned int size) {
  NotifyChange();
  if (size == 0) {
    data_.reset();
  } else {
    std::unique_ptr<unsigned char[]> block(new unsigned char[size]);
    std::memcpy(block.get(), data, size);
    data_ = std::move(block);
  }
  dataSize_ = size;
}

void CResItem::AddBinaryBlock(const unsigned char* data, unsigned int size) {
  NotifyChange();
  if (size == 0) return;
  std::unique_ptr<unsigned char[]> block(new unsigned char[dataSize_ + size]);
  if (dataSize_ != 0) std::memcpy(block.get(), data_.get(), dataSize_);
  std::memcpy(block.get() + dataSize_, data, size);
  data_ = std::move(block);
  dataSize_ += size;
}

void CResItem::AddResItem(CResItem* child) {
  if (!child) return;
  Events().OnResItemAdd(this, child);
  child->SetParent(this);
  children_.push_back(child);
}

CResItem* CResItem::RemoveItem(CResItem* child) {
  const auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return nullptr;
  child->SetParent(nullptr);
  Events().OnResItemRemove(this, child);
  children_.erase(it);
  return child;
}

void CResItem::ClearResItemList() {
  CMultiOperation group;
  for (CResItem* child : children_) {
    child->SetParent(nullptr);
    Events().OnResItemRemove(this, child);
  }
  children_.clear();
}

void CResItem::AddTransItem(CTransItem* trans) {
  if (!trans) return;
  Events().OnTransItemAdd(this, trans);
  trans->SetParent(this);
  translations_[trans->GetLang()] = trans;
}

CTransItem* CResItem::RemoveTransItem(int lang) {
  const auto it = translations_.find(lang);
  if (it == translations_.end()) return nullptr;
  CTransItem* trans = it->second;
  Events().OnTransItemRemove(this, trans);
  trans->SetParent(nullptr);
  translations_.erase(it);
  return trans;
}

CTransItem* CResItem::GetTranslation(int lang) const {
  const auto it = translations_.find(lang);
  return it == translations_.end() ? nullptr : it->second;
}

void CResItem::ChangeTransLang(CTransItem* trans, int newLang) {
  const auto it = translations_.find(trans->GetLang());
  CMultiOperation group;
  if (it == translations_.end()) return;
  Events().OnTransItemRemove(this, it->second);
  translations_.erase(it);
  trans->SetLang(newLang);
  Events().OnTransItemAdd(this, trans);
  trans->SetParent(this);
  translations_[newLang] = trans;
}

bool CResItem::operator==(const CResItem& other) const {
  return type_ == other.type_ && tabNum_ == other.tabNum_ && state_ == other.state_ &&
         comment_ == other.comment_ && resId_ == other.resId_ && dataSize_ == other.dataSize_ &&
         (dataSize_ == 0 || std::memcmp(data_.get(), other.data_.get(), dataSize_) == 0) &&
         cfgProps_ == other.cfgProps_ &&
         static_cast<const CPropContainer&>(*this) == static_cast<const CPropContainer&>(other);
}

void CResItem::OnBeforePropChange(const CPropContainer&, const CPropName&, const CProp*,
                                  const CProp*) {
  NotifyChange();
}

void CResItem::OnAfterPropChange(const CPropContainer& container, const CPropName& name,
                                 const CProp* oldValue, const CProp* newValue) {
  if (&container == &cfgProps_) Events().OnConfigPropChanged(this, name, oldValue, newValue);
}

// The lists below keep the container strategies' layout and reading rules:
// a count, then one anonymous node per element; an element that fails to
// read ends the list (its node left first), one that throws is freed.
template <typename Path>
bool CResItem::DoChildren(Path& outer) {
  auto p = outer.Local();
  unsigned int count = static_cast<unsigned int>(children_.size());
  if (!p.IsReading()) {
    Serial::DoFixed(p, count);
    for (CResItem* child : children_) {
      if (!p.Enter()) return false;
      bool isNull = child == nullptr;
      Serial::DoBool(p, isNull);
      // A child too deep to write ends the list: a reader could not go on.
      const bool ok = !child || child->DoOn(p);
      p.Leave();
      if (!ok) return false;
    }
    return true;
  }
  children_.clear();
  if (!Serial::DoFixed(p, count)) return false;
  for (unsigned int i = 0; i < count; ++i) {
    if (!p.Enter()) return false;
    bool isNull = true;
    std::unique_ptr<CResItem> child;
    const bool ok = Serial::DoBool(p, isNull);
    if (ok && !isNull) {
      child = std::make_unique<CResItem>();
      child->DoOn(p);
    }
    p.Leave();
    if (!ok) return false;
    if (child) {
      children_.push_back(child.get());
      child.release();
    }
  }
  return true;
}

namespace {

// One translation entry: an anonymous node with the language, one with the
// translation (a null flag, then its nodes). Writing takes the map's own
// pointer, reading fills an owning one.
template <typename Path, typename Holder>
bool DoTransEntry(Path& p, int& lang, Holder& trans) {
  if (!p.Enter()) return false;
  const bool keyOk = Serial::DoFixed(p, lang);
  p.Leave();
  if (!keyOk || !p.Enter()) return false;
  bool isNull = trans == nullptr;
  const bool ok = Serial::DoBool(p, isNull);
  if (ok && !isNull) {
    if constexpr (!std::is_pointer_v<Holder>) {
      trans = std::make_unique<CTransItem>(CLangId::Undefined);
    }
    trans->DoOn(p);
  }
  p.Leave();
  return ok;
}

}  // namespace

template <typename Path>
bool CResItem::DoTranslations(Path& outer) {
  auto p = outer.Local();
  unsigned int count = static_cast<unsigned int>(translations_.size());
  if (!p.IsReading()) {
    Serial::DoFixed(p, count);
    for (auto& entry : translations_) {
      if (!p.Enter()) return false;
      int lang = entry.first;
      const bool ok = DoTransEntry(p, lang, entry.second);
      p.Leave();
      if (!ok) return false;
    }
    return true;
  }
  translations_.clear();
  if (!Serial::DoFixed(p, count)) return false;
  for (unsigned int i = 0; i < count; ++i) {
    if (!p.Enter()) return false;
    int lang = 0;
    std::unique_ptr<CTransItem> trans;
    const bool ok = DoTransEntry(p, lang, trans);
    p.Leave();
    if (!ok) return false;
    // Keys arrive in order: the end is the place to try first. A repeated
    // language keeps the first translation.
    if (trans) {
      const size_t before = translations_.size();
      translations_.emplace_hint(translations_.end(), lang, trans.get());
      if (translations_.size() != before) trans.release();
    }
  }
  return true;
}

template <typename Path>
void CResItem::DoData(Path& p) {
  if (!p.IsReading()) {
    p.Write(dataSize_, data_.get());
    return;
  }
  unsigned int size = 0;
  const void* field = p.Read(size);
  if (!field || size == 0) {
    data_.reset();
    dataSize_ = 0;
    return;
  }
  data_.reset(new unsigned char[size]);
  std::memcpy(data_.get(), field, size);
  dataSize_ = size;
}

bool CResItem::Do(Serial::ISerialStream& s) {
  return Serial::WithPath(s, [this](auto& p) { return DoOn(p); });
}

template <typename Path>
bool CResItem::DoOn(Path& outer) {
  auto p = outer.Local();
  const bool reading = p.IsReading();
  const NestingGuard depth;
  if (!depth.within) {
    if (reading) throw Serial::Exceptions::FormatIO();
    return false;
  }
  // An absent node (tree reader) leaves its field as it is; the values'
  // own results do not stop the item.
  const auto field = [&p](unsigned char name, auto&& body) {
    if (!p.Enter(name)) return false;
    const bool ok = body();
    p.Leave();
    return ok;
  };
  if (p.Enter()) {
    CPropContainer::DoOn(p);
    p.Leave();
  }
  field(0x65, [&] { return Serial::DoText(p, resId_); });
  field(0x66, [&] { return Serial::DoFixed(p, type_); });
  const bool childrenOk = field(0x67, [&] { return DoChildren(p); });
  field(0x68, [&] { return DoTranslations(p); });
  field(0x69, [&] { return Serial::DoText(p, comment_); });
  field(0x6A, [&] { return Serial::DoFixed(p, tabNum_); });
  field(0x6B, [&] { return Serial::DoFixed(p, state_); });
  // A stream without the data node (the tree reader's view of an older
  // writer) means no data, as an absent field does.
  if (p.Enter(static_cast<unsigned char>(0x6C))) {
    DoData(p);
    p.Leave();
  } else if (reading) {
    data_.reset();
    dataSize_ = 0;
  }
  field(0x6D, [&] { return cfgProps_.DoOn(p); });
  if (reading) {
    for (CResItem* child : children_) child->SetParent(this);
    for (auto& entry : translations_) entry.second->SetParent(this);
  }
  // A child refused by the writer (too deep) makes the whole save fail.
  return reading || childrenOk;
}

template bool CResItem::DoOn(Serial::StreamPath&);
template bool CResItem::DoOn(Serial::Binary::BinaryOutPath&);
template bool CResItem::DoOn(Serial::Binary::BinaryInPath&);

namespace {

// An owned, possibly null item: a null flag, then the item.
template <typename Path>
bool DoRoot(Path& p, std::unique_ptr<CResItem>& root) {
  bool isNull = root == nullptr;
  if (!p.IsReading()) {
    Serial::DoBool(p, isNull);
    return isNull || root->DoOn(p);
  }
  isNull = true;
  if (!Serial::DoBool(p, isNull)) return false;
  std::unique_ptr<CResItem> item;
  if (!isNull) {
    item = std::make_unique<CResItem>();
    item->DoOn(p);
  }
  root = std::move(item);
  return true;
}

}  // namespace

bool DoProject(Serial::ISerialStream& s, std::unique_ptr<CResItem>& root) {
  return Serial::WithPath(s, [&root](auto& p) { return DoRoot(p, root); });
}

bool SaveProjectFile(const CString& path, const CResItem& root, int level, CString& error) {
  return Serial::SaveSerialFile(
      path, level,
      [&root](Serial::ISerialStream& s) {
        // Writing reads the item only; the pointer strategy writes exactly
        // what the owning one does.
        Serial::DefaultSerialStrategy<CResItem> item;
        Serial::DefaultMonoFactory<CResItem> factory;
        auto* pointer = const_cast<CResItem*>(&root);
        return Serial::MonoPtrSerialStrategy<CResItem>(item, factory).Do(s, pointer);
      },
      error);
}

bool LoadProjectFile(const CString& path, std::unique_ptr<CResItem>& root, CString& error) {
  root.reset();
  const bool ok = Serial::LoadSerialFile(
      path, [&root](Serial::ISerialStream& s) { return DoProject(s, root) && root != nullptr; },
      error, u"project file");
  if (!ok) root.reset();
  return ok;
}

// Resource items: the tree, the notifying setters, copying, comparison and
// the serial layout of an item.
#include "items/ResItem.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "items/ItemEvents.h"
#include "serial/SerialDo.h"
#include "serial/SerialStrategies.h"

namespace {

CItemEventServer& Events() { return CItemEventServer::Instance(); }

// Nesting of items being read; a hostile stream must not exhaust the stack.
thread_local int readDepth = 0;

struct ReadDepthGuard {
  ReadDepthGuard() {
    if (++readDepth > CResItem::MaxReadDepth) {
      --readDepth;
      throw Serial::Exceptions::FormatIO();
    }
  }
  ~ReadDepthGuard() { --readDepth; }
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

namespace {

Serial::NodeName ByteName(unsigned char byte) { return Serial::NodeName(byte); }

}  // namespace

bool CResItem::DoChildren(Serial::ISerialStream& s) {
  Serial::DefaultSerialStrategy<CResItem> itemStrategy;
  Serial::DefaultMonoFactory<CResItem> factory;
  Serial::MonoPtrSerialStrategy<CResItem> pointer(itemStrategy, factory);
  if (!s.IsReading()) {
    return Serial::STLContainerSerialStrategy<std::vector<CResItem*>, CResItem*>(pointer).Do(
        s, children_);
  }
  children_.clear();
  return Serial::ReadElements(
      s, pointer,
      [this](CResItem*&& child) {
        if (child) children_.push_back(child);
      },
      [](CResItem*& child) { delete child; });
}

bool CResItem::DoTranslations(Serial::ISerialStream& s) {
  Serial::DefaultSerialStrategy<int> key;
  Serial::DefaultSerialStrategy<CTransItem> transStrategy;
  Serial::DefaultMonoFactory<CTransItem> factory;
  Serial::MonoPtrSerialStrategy<CTransItem> pointer(transStrategy, factory);
  Serial::PairSerialStrategy<int, CTransItem*> pair(key, pointer);
  if (!s.IsReading()) {
    return Serial::MapSerialStrategy<std::map<int, CTransItem*>>(pair).Do(s, translations_);
  }
  translations_.clear();
  return Serial::ReadElements(
      s, pair,
      [this](std::pair<int, CTransItem*>&& entry) {
        // Keys arrive in order: the end is the place to try first.
        const size_t before = translations_.size();
        if (entry.second) translations_.emplace_hint(translations_.end(), entry.first, entry.second);
        if (translations_.size() == before) delete entry.second;
      },
      [](std::pair<int, CTransItem*>& entry) { delete entry.second; });
}

void CResItem::DoData(Serial::ISerialStream& s) {
  if (!s.IsReading()) {
    s.WriteField(dataSize_, data_.get());
    return;
  }
  unsigned int size = 0;
  const void* field = s.ReadField(size);
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
  const bool reading = s.IsReading();
  std::optional<ReadDepthGuard> depth;
  if (reading) depth.emplace();
  // An absent node (tree reader) leaves its field as it is; the values'
  // own results do not stop the item.
  using Serial::InNode;
  InNode(s, Serial::NodeName(), [&] { return CPropContainer::Do(s); });
  InNode(s, ByteName(0x65), [&] { return Serial::Do(s, resId_); });
  InNode(s, ByteName(0x66), [&] { return Serial::Do(s, type_); });
  InNode(s, ByteName(0x67), [&] { return DoChildren(s); });
  InNode(s, ByteName(0x68), [&] { return DoTranslations(s); });
  InNode(s, ByteName(0x69), [&] { return Serial::Do(s, comment_); });
  InNode(s, ByteName(0x6A), [&] { return Serial::Do(s, tabNum_); });
  InNode(s, ByteName(0x6B), [&] { return Serial::Do(s, state_); });
  // A stream without the data node (the tree reader's view of an older
  // writer) means no data, as an absent field does.
  if (s.EnterNode(ByteName(0x6C))) {
    DoData(s);
    s.LeaveNode();
  } else if (reading) {
    data_.reset();
    dataSize_ = 0;
  }
  InNode(s, ByteName(0x6D), [&] { return cfgProps_.Do(s); });
  if (reading) {
    for (CResItem* child : children_) child->SetParent(this);
    for (auto& entry : translations_) entry.second->SetParent(this);
  }
  return true;
}

bool DoProject(Serial::ISerialStream& s, std::unique_ptr<CResItem>& root) {
  Serial::DefaultSerialStrategy<CResItem> item;
  Serial::DefaultMonoFactory<CResItem> factory;
  Serial::MonoPtrSerialStrategy<CResItem> pointer(item, factory);
  return Serial::AutoPtrSerialStrategy<CResItem>(pointer).Do(s, root);
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

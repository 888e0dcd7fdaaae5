// The node of the project tree: the project root, its files and the
// resources found in them. An item owns its children, its translations and
// its data block, holds its own properties (the container it is) and its
// configuration properties, and announces every change before making it.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "items/TransItem.h"
#include "props/PropContainer.h"
#include "serial/SerialFile.h"

class CResItem : public IPropContHandler, public CPropContainer {
 public:
  static constexpr int ReadOnlyState = 1;
  static constexpr int LockedState = 2;

  CResItem();
  // Fields and both containers; no children, translations or parent.
  CResItem(const CResItem& other);
  // As the copy constructor: children, translations and parent stay.
  CResItem& operator=(const CResItem& other);
  // Announces the deletion, then deletes children (nested) and translations.
  // REQUIRES: the item is not a child of another item (RemoveItem it first).
  ~CResItem() override;

  int GetType() const { return type_; }
  void SetType(int type);
  CString GetComment() const { return comment_; }
  void SetComment(const CString& comment);
  CString GetResId() const { return resId_; }
  void SetResId(const CString& resId);
  int GetTabNum() const { return tabNum_; }
  void SetTabNum(int tabNum);
  int GetState() const { return state_; }
  void SetState(int state);
  bool IsReadOnly() const { return (state_ & ReadOnlyState) != 0; }
  void SetReadOnly(bool readOnly);
  bool IsItemLocked() const { return (state_ & LockedState) != 0; }
  void SetItemLocked(bool locked);

  // The raw block; null and 0 when empty.
  const unsigned char* GetData() const { return data_.get(); }
  unsigned int GetDataSize() const { return dataSize_; }
  void SetData(const unsigned char* data, unsigned int size);
  // Appends `size` bytes: a block is assembled from chunks.
  void AddBinaryBlock(const unsigned char* data, unsigned int size);

  CResItem* GetParent() const { return parent_; }
  const std::vector<CResItem*>& GetResItems() const { return children_; }
  const std::map<int, CTransItem*>& GetTransMap() const { return translations_; }
  CPropContainer& GetCfgProps() { return cfgProps_; }
  const CPropContainer& GetCfgProps() const { return cfgProps_; }

  // Takes ownership of `child` and appends it. Null is ignored.
  void AddResItem(CResItem* child);
  // Detaches `child` and hands it back; null when it is not a child.
  CResItem* RemoveItem(CResItem* child);
  // Detaches every child without deleting: hold them before calling.
  void ClearResItemList();

  // Takes ownership of `trans`, stored under its language. Null is ignored.
  // REQUIRES: no translation is stored under that language yet.
  void AddTransItem(CTransItem* trans);
  // Detaches the translation under `lang` and hands it back, or null.
  CTransItem* RemoveTransItem(int lang);
  bool HasTranslation(int lang) const { return translations_.count(lang) != 0; }
  CTransItem* GetTranslation(int lang) const;
  // Re-keys `trans` (stored under its current language) to `newLang`.
  void ChangeTransLang(CTransItem* trans, int newLang);

  // Fields, data and both containers; children, translations and parent do
  // not count.
  bool operator==(const CResItem& other) const;
  bool operator!=(const CResItem& other) const { return !(*this == other); }

  // The item's nodes, children depth first, translations, data block and
  // configuration. Reading fills a fresh item: children and translations it
  // held are dropped from the lists, not deleted. Items nested deeper than
  // MaxNestingDepth (counted from the outermost item in the call) throw
  // FormatIO when read; writing refuses them and returns false, after
  // writing only part of the item. Otherwise true.
  bool Do(Serial::ISerialStream& s);
  static constexpr int MaxNestingDepth = 1000;
  // The same on a path (serial/SerialPath.h), instantiated for StreamPath and
  // the binary writer's and reader's paths.
  template <typename Path>
  bool DoOn(Path& p);

  void OnBeforePropChange(const CPropContainer& container, const CPropName& name,
                          const CProp* oldValue, const CProp* newValue) override;
  void OnAfterPropChange(const CPropContainer& container, const CPropName& name,
                         const CProp* oldValue, const CProp* newValue) override;

 private:
  void SetParent(CResItem* parent);
  void NotifyChange();
  template <typename T>
  void Store(T& field, const T& value) {
    NotifyChange();
    field = value;
  }
  template <typename Path>
  bool DoChildren(Path& p);
  template <typename Path>
  bool DoTranslations(Path& p);
  template <typename Path>
  void DoData(Path& p);

  int type_;
  CString comment_;
  std::vector<CResItem*> children_;
  std::map<int, CTransItem*> translations_;
  CPropContainer cfgProps_;
  CString resId_;
  int tabNum_;
  std::unique_ptr<unsigned char[]> data_;
  unsigned int dataSize_;
  int state_;
  CResItem* parent_;
};

// A project's root as every project file stores it: an owned, possibly null
// item, created through the item factory when read. Reading replaces `root`.
// Writing a tree nested deeper than CResItem::MaxNestingDepth returns false
// and leaves an incomplete stream, which the caller discards.
bool DoProject(Serial::ISerialStream& s, std::unique_ptr<CResItem>& root);

// Saves the project below `root` as DoProject writes it, at gzip `level` 0
// to 9 or Serial::kPlainFile, through Serial::SaveSerialFile: either the
// whole file is written or the one before stays as it was. False, with the
// reason in `error`, on any failure.
bool SaveProjectFile(const CString& path, const CResItem& root, int level, CString& error);

// Loads a plain or gzip project file, checking a gzip file's checksum and
// length. False, with the reason in `error`, when the file is missing,
// damaged, or holds no root item; `root` is then empty.
bool LoadProjectFile(const CString& path, std::unique_ptr<CResItem>& root, CString& error);

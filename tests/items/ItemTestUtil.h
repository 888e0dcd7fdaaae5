// Shared pieces of the item and configuration tests: a subscriber that logs
// every notification as text, small and sample project trees, deep tree
// comparison and save/load helpers.
// The event server is process-wide, so the recorder undoes all it set up.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "items/CfgHolder.h"
#include "items/ItemEvents.h"
#include "items/ResItem.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/Streams.h"

namespace itemtest {

using Bytes = std::vector<unsigned char>;
using Log = std::vector<std::string>;

inline std::string Label(const CResItem* item) { return item ? item->GetResId().ToUtf8() : "null"; }
inline std::string Label(const CTransItem* trans) {
  return trans ? "t" + std::to_string(trans->GetLang()) : "null";
}
inline std::string Value(const CProp* prop) { return prop ? prop->AsString().ToUtf8() : "-"; }

// Subscribes for its lifetime and (optionally) starts the server; items are
// named by their resource id, translations by their language. Entries go to
// `*out`, prefixed by `tag`. `probe` runs inside every single-item
// notification, while the old state is still there.
class Recorder : public CResItemEvents {
 public:
  explicit Recorder(bool start = true) : start_(start) {
    Server().Subscribe(this);
    if (start_) Server().Startup();
    log.clear();
  }
  ~Recorder() override {
    if (start_) Server().Shutdown();
    Server().Unsubscribe(this);
    EXPECT_FALSE(Server().IsStarted());
    EXPECT_FALSE(Server().IsLocked());
    EXPECT_FALSE(Server().IsMultiOperation());
  }
  static CItemEventServer& Server() { return CItemEventServer::Instance(); }

  void OnResItemChange(CResItem* i) override { Put("Change " + Label(i)); }
  void OnResItemAdd(CResItem* p, CResItem* c) override { Put("Add " + Label(p) + " " + Label(c)); }
  void OnResItemRemove(CResItem* p, CResItem* c) override {
    Put("Remove " + Label(p) + " " + Label(c));
  }
  void OnResItemDelete(CResItem* i) override { Put("Delete " + Label(i)); }
  void OnTransItemChange(CResItem* i, CTransItem* t) override {
    Put("TransChange " + Label(i) + " " + Label(t));
  }
  void OnTransItemAdd(CResItem* i, CTransItem* t) override {
    Put("TransAdd " + Label(i) + " " + Label(t));
  }
  void OnTransItemRemove(CResItem* i, CTransItem* t) override {
    Put("TransRemove " + Label(i) + " " + Label(t));
  }
  void OnConfigPropChanged(CResItem* i, const CPropName& name, const CProp* oldValue,
                           const CProp* newValue) override {
    Put("Config " + Label(i) + " " + name.GetStr().ToUtf8() + " " + Value(oldValue) + "->" +
        Value(newValue));
  }
  void OnMultiOperationBegin() override { out->push_back(tag + "Begin"); }
  void OnMultiOperationEnd() override { out->push_back(tag + "End"); }
  void OnStartup() override { out->push_back(tag + "Startup"); }
  void OnShutdown() override { out->push_back(tag + "Shutdown"); }

  Log log;
  Log* out = &log;
  std::string tag;
  std::function<void()> probe;

 private:
  void Put(const std::string& entry) {
    out->push_back(tag + entry);
    if (probe) probe();
  }
  bool start_;
};

inline CResItem* NewItem(const char16_t* resId, int type = 0) {
  auto* item = new CResItem();
  item->SetResId(resId);
  item->SetType(type);
  return item;
}

inline CTransItem* NewTrans(int lang, const char16_t* text) {
  auto* trans = new CTransItem(lang);
  trans->SetStr(text);
  return trans;
}

// root { file { res }, sibling }, settings placed by each test.
struct Tree {
  static CResItem* Add(CResItem& parent, const char16_t* resId) {
    CResItem* child = NewItem(resId);
    parent.AddResItem(child);
    return child;
  }
  std::unique_ptr<CResItem> root{NewItem(u"root")};
  CResItem* file = Add(*root, u"file");
  CResItem* sibling = Add(*root, u"sibling");
  CResItem* res = Add(*file, u"res");
};

// Hangs the process-wide default item above a root for one scope; it must
// never come to own a test's tree, and loses the settings the test gave it.
class AttachDefault {
 public:
  explicit AttachDefault(CResItem* root) : root_(root) { CCfgHolder::DefaultItem.AddResItem(root); }
  ~AttachDefault() {
    EXPECT_EQ(CCfgHolder::DefaultItem.RemoveItem(root_), root_);
    std::vector<CPropName> names;
    for (const auto& entry : CCfgHolder::GetDefaultCfg().GetProps()) names.push_back(entry.first);
    for (const CPropName& name : names) CCfgHolder::DeleteProp(CCfgHolder::DefaultItem, name);
  }

 private:
  CResItem* root_;
};

// A project with nested items, several languages, binary data on items and
// translations, and values of every property class on both containers.
inline std::unique_ptr<CResItem> SampleProject() {
  std::unique_ptr<CResItem> root(NewItem(u"@Project", 1));
  root->SetComment(u"sample");
  root->GetCfgProps().SetPropW(u"MFC.MultiLang.OutFile", new CStrProp(u"$(OutputDir)\\a.dll"));
  root->GetCfgProps().SetPropW(u"bCrashUseTempDir", new CBoolProp(true));
  root->GetCfgProps().SetPropW(u"Langs", new CIntVectorProp({0x407, 0x10409}));
  root->SetPropW(u"Name", new CStrProp(u"Demo"));
  root->SetPropW(u"Flag");

  CResItem* file = NewItem(u"@app.exe", 2);
  file->SetComment(u"main");
  file->SetTabNum(3);
  file->SetState(CResItem::ReadOnlyState | 0x40);
  Bytes block(300);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>(i * 7);
  file->SetData(block.data(), static_cast<unsigned int>(block.size()));
  file->SetPropW(u"Variant", new CVariantProp(_variant_t(u"bstr text")));
  file->SetPropW(u"Set", new CStrSetProp({u"x", u"y"}));
  file->GetCfgProps().SetPropW(u"Codepage", new CIntProp(1252));
  CTransItem* de = NewTrans(0x407, u"Datei");
  const unsigned char deData[] = {0, 1, 2, 0xFF};
  de->SetData(deData, sizeof deData);
  de->SetStatus(2);
  de->SetKey(42);
  de->SetPropW(u"Note", new CIntProp(-5));
  file->AddTransItem(de);
  file->AddTransItem(NewTrans(0x10409, u"File"));
  root->AddResItem(file);

  CResItem* dialog = NewItem(u"#100", 5);
  dialog->AddTransItem(NewTrans(0x40C, u"Fichier"));
  CResItem* control = NewItem(u"@IDOK", 6);
  control->SetComment(u"button");
  control->AddTransItem(NewTrans(0x407, u""));
  dialog->AddResItem(control);
  file->AddResItem(dialog);
  file->AddResItem(NewItem(u"#101", 5));  // empty data, no translations
  root->AddResItem(NewItem(u"@empty.dll", 2));
  return root;
}

// operator== ignores children, translations, keys and parents: walk them.
inline ::testing::AssertionResult SameTree(const CResItem& a, const CResItem& b) {
  const std::string at = Label(&a);
  if (!(a == b)) return ::testing::AssertionFailure() << "items differ at " << at;
  if (a.GetResItems().size() != b.GetResItems().size()) {
    return ::testing::AssertionFailure() << "child count differs at " << at;
  }
  if (a.GetTransMap().size() != b.GetTransMap().size()) {
    return ::testing::AssertionFailure() << "translation count differs at " << at;
  }
  for (auto ia = a.GetTransMap().begin(), ib = b.GetTransMap().begin(); ia != a.GetTransMap().end();
       ++ia, ++ib) {
    if (ia->first != ib->first || !(*ia->second == *ib->second) ||
        ia->second->GetKey() != ib->second->GetKey() || ib->second->GetParent() != &b) {
      return ::testing::AssertionFailure() << "translation " << ia->first << " differs at " << at;
    }
  }
  for (size_t i = 0; i < a.GetResItems().size(); ++i) {
    if (b.GetResItems()[i]->GetParent() != &b) {
      return ::testing::AssertionFailure() << "bad parent below " << at;
    }
    ::testing::AssertionResult child = SameTree(*a.GetResItems()[i], *b.GetResItems()[i]);
    if (!child) return child;
  }
  return ::testing::AssertionSuccess();
}

// The strategy stack a project root goes through, as the callers build it.
struct RootStrategy {
  Serial::DefaultSerialStrategy<CResItem> item;
  Serial::DefaultMonoFactory<CResItem> factory;
  Serial::MonoPtrSerialStrategy<CResItem> pointer{item, factory};
  Serial::AutoPtrSerialStrategy<CResItem> owner{pointer};
};

inline Bytes Save(std::unique_ptr<CResItem>& root) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    RootStrategy strategy;
    EXPECT_TRUE(strategy.owner.Do(writer, root));
  }
  return out.data();
}

// Reads with the sequential reader; FormatIO passes through.
inline bool Load(const Bytes& bytes, std::unique_ptr<CResItem>& root) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  Serial::Binary::BinarySerialIn reader(in);
  RootStrategy strategy;
  return strategy.owner.Do(reader, root);
}

// Reads through the tree loader; false also when the loader rejects the bytes.
inline bool LoadTree(const Bytes& bytes, std::unique_ptr<CResItem>& root) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  Serial::Binary::BinarySerialTreeIn tree;
  if (!tree.Load(in)) return false;
  RootStrategy strategy;
  return strategy.owner.Do(tree, root);
}

}  // namespace itemtest

// Shared pieces of the item and configuration tests: a subscriber that logs
// every notification as text, small and sample project trees, and save/load
// helpers.
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

// A project with nested items, several languages, binary data on items and
// translations, and values of every property class on both containers.
inline std::unique_ptr<CResItem> SampleProject() {
  std::unique_ptr<CResItem> root(NewItem(u"@Project", 1));
  root->SetComment(u"sample");
  root->GetCfgProps().SetPropW(u"MFC.MultiLang.OutFile", new CStrProp(u"$(OutputDir)\\a.dll"));
  root->GetCfgProps().SetPropW(u"Langs", new CIntVectorProp({0x407, 0x10409}));
  root->SetPropW(u"Name", new CStrProp(u"Demo"));

  CResItem* file = NewItem(u"@app.exe", 2);
  file->SetComment(u"main");
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
  file->AddTransItem(de);
  file->AddTransItem(NewTrans(0x10409, u"File"));
  root->AddResItem(file);

  CResItem* dialog = NewItem(u"#100", 5);
  dialog->AddTransItem(NewTrans(0x40C, u"Fichier"));
  dialog->AddResItem(NewItem(u"@IDOK", 6));
  dialog->GetResItems()[0]->AddTransItem(NewTrans(0x407, u""));
  file->AddResItem(dialog);
  file->AddResItem(NewItem(u"#101", 5));  // empty data, no translations
  root->AddResItem(NewItem(u"@empty.dll", 2));
  return root;
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

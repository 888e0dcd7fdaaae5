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
#include "platform/TestData.h"
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
// named by their resource id, translations by their language. `probe` runs
// inside every single-item notification, while the old state is still there.
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
  void OnResItemAdd(CResItem* p, CResItem* c) override { Put("Add", p, c); }
  void OnResItemRemove(CResItem* p, CResItem* c) override { Put("Remove", p, c); }
  void OnResItemDelete(CResItem* i) override { Put("Delete " + Label(i)); }
  void OnTransItemChange(CResItem* i, CTransItem* t) override { Put("TransChange", i, t); }
  void OnTransItemAdd(CResItem* i, CTransItem* t) override { Put("TransAdd", i, t); }
  void OnTransItemRemove(CResItem* i, CTransItem* t) override { Put("TransRemove", i, t); }
  void OnConfigPropChanged(CResItem* i, const CPropName& name, const CProp* oldValue,
                           const CProp* newValue) override {
    Put("Config " + Label(i) + " " + name.GetStr().ToUtf8() + " " + Value(oldValue) + "->" +
        Value(newValue));
  }
  void OnMultiOperationBegin() override { log.push_back("Begin"); }
  void OnMultiOperationEnd() override { log.push_back("End"); }
  void OnStartup() override { log.push_back("Startup"); }
  void OnShutdown() override { log.push_back("Shutdown"); }

  Log log;
  std::function<void()> probe;

 private:
  template <typename T>
  void Put(const char* what, const CResItem* item, const T* other) {
    Put(std::string(what) + " " + Label(item) + " " + Label(other));
  }
  void Put(const std::string& entry) {
    log.push_back(entry);
    if (probe) probe();
  }
  bool start_;
};

inline CResItem* NewItem(const char16_t* resId) {
  auto* item = new CResItem();
  item->SetResId(resId);
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

// Saves and loads as project files do, through DoProject; FormatIO passes through.
inline Bytes Save(std::unique_ptr<CResItem>& root) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    EXPECT_TRUE(DoProject(writer, root));
  }
  return out.Take();
}

inline bool Load(const Bytes& bytes, std::unique_ptr<CResItem>& root) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  Serial::Binary::BinarySerialIn reader(in);
  return DoProject(reader, root);
}

// Through the tree loader; false also when the loader rejects the bytes.
inline bool LoadTree(const Bytes& bytes, std::unique_ptr<CResItem>& root) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  Serial::Binary::BinarySerialTreeIn tree;
  return tree.Load(in) && DoProject(tree, root);
}

// A project with nested items, several languages, binary data on items and
// translations, and values of every property class on both containers, as
// this library wrote it.
inline std::unique_ptr<CResItem> SampleProject() {
  const std::string bytes = testdata::Read("items", "sample_project.serial");
  std::unique_ptr<CResItem> root;
  EXPECT_TRUE(Load(Bytes(bytes.begin(), bytes.end()), root));
  return root;
}

}  // namespace itemtest

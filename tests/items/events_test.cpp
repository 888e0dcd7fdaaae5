// Change notification: when the server delivers, how multi-operations nest,
// subscribers leaving mid-round, and the exact notifications every item and
// translation operation raises, each before the state it announces has changed.
#include <gtest/gtest.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define ITEMTEST_ALLOCATION_HOOKS 1
#endif
#endif

#include <map>
#include <utility>

#include "ItemTestUtil.h"
#include "platform/TestData.h"
#include "serial/SerialTestUtil.h"

using namespace itemtest;  // NOLINT: test helpers only

namespace {

TEST(ItemEventServer, DeliversOnlyWhenStartedAndUnlocked) {
  Recorder first(false), second(false);
  CResItem item;
  CItemEventServer& server = Recorder::Server();
  server.OnResItemChange(&item);  // before Startup: nobody hears it
  server.Startup();
  server.OnResItemChange(&item);
  server.SetLock(true);
  server.SetLock(true);
  server.SetLock(false);  // locks nest
  server.OnResItemChange(&item);
  server.OnMultiOperationBegin();  // counted while locked, not delivered
  server.SetLock(false);
  server.OnMultiOperationBegin();  // only the outermost pair is delivered
  server.OnMultiOperationEnd();
  EXPECT_TRUE(server.IsMultiOperation());
  server.OnMultiOperationEnd();
  EXPECT_FALSE(server.IsMultiOperation());
  server.OnTransItemAdd(&item, nullptr);
  server.Shutdown();
  server.OnResItemDelete(&item);
  const Log expected{"Startup", "Change @", "End", "TransAdd @ null", "Shutdown"};
  EXPECT_EQ(first.log, expected);
  EXPECT_EQ(second.log, expected);
}

// Counts the changes it hears; subscribed for its lifetime.
struct Counter : CResItemEvents {
  Counter() { Recorder::Server().Subscribe(this); }
  ~Counter() override { Recorder::Server().Unsubscribe(this); }
  void OnResItemChange(CResItem*) override { ++changes; }
  int changes = 0;
};

// Deletes itself, and so unsubscribes, at its first notification.
struct OneShot : Counter {
  explicit OneShot(int& calls) : calls(calls) {}
  void OnResItemChange(CResItem*) override {
    ++calls;
    delete this;
  }
  int& calls;
};

TEST(ItemEventServer, SubscribersLeavingOrJoiningDuringARound) {
  Recorder first;  // told first; starts the server
  int oneShotCalls = 0;
  Recorder::Server().Subscribe(new OneShot(oneShotCalls));  // subscribed twice
  auto* doomed = new Counter;
  std::unique_ptr<Counter> joined;
  first.probe = [&] {
    delete doomed;
    doomed = nullptr;
    if (!joined) joined = std::make_unique<Counter>();
  };
  CResItem item;
  item.SetType(1);
  EXPECT_EQ(oneShotCalls, 1);
  EXPECT_EQ(joined->changes, 0);  // from the next notification on
  item.SetType(2);
  EXPECT_EQ(joined->changes, 1);
  EXPECT_EQ(first.log, (Log{"Change @", "Change @"}));
}

// The item tree with a translation on the file, and spares built before the
// recorder listens, so that only the operation is heard.
struct Family : Tree {
  Family() { file->AddTransItem(t1031); }
  CTransItem* t1031 = NewTrans(1031, u"x");
  std::vector<std::unique_ptr<CResItem>> items;  // handed back by operations
  std::vector<std::unique_ptr<CTransItem>> trans;
  std::unique_ptr<CResItem> spare{NewItem(u"n")};
  std::unique_ptr<CTransItem> spareTrans{NewTrans(1036, u"y")};
};

// The state a subscriber can see: the tree's bytes, translations included.
Bytes Snapshot(CResItem& item) {
  return testutil::WriteBody([&](Serial::ISerialStream& s) { item.Do(s); });
}

// Each operation raises exactly the notifications of events.tsv, in order;
// where the table says so, the first of them comes while the tree is unchanged.
TEST(ItemEvents, ExactSequencesBeforeTheChange) {
  const unsigned char bytes[] = {1, 2, 3};
  const std::map<std::string, std::function<void(Family&)>> ops = {
      {"SetType", [](Family& f) { f.file->SetType(7); }},
      {"SetReadOnly", [](Family& f) { f.file->SetReadOnly(true); }},
      {"SetData", [&](Family& f) { f.file->SetData(bytes, 3); }},
      {"own SetPropW", [](Family& f) { f.file->SetPropW(u"k", new CIntProp(1)); }},
      {"AddResItem", [](Family& f) { f.sibling->AddResItem(f.spare.release()); }},
      {"RemoveItem", [](Family& f) { f.items.emplace_back(f.root->RemoveItem(f.file)); }},
      {"ClearResItemList",
       [](Family& f) {
         f.items.emplace_back(f.file);
         f.items.emplace_back(f.sibling);
         f.root->ClearResItemList();
       }},
      {"configuration property",
       [](Family& f) {
         CCfgHolder::SetPropW(*f.file, u"k", new CIntProp(1));
         CCfgHolder::SetPropW(*f.file, u"k", new CIntProp(2));
         CCfgHolder::DeleteProp(*f.file, u"k");
         CCfgHolder::DeleteProp(*f.file, u"k");
         CCfgHolder::SetPropW(*f.file, u"k", new CIntProp(3));
       }},
      {"AddTransItem", [](Family& f) { f.sibling->AddTransItem(f.spareTrans.release()); }},
      {"RemoveTransItem",
       [](Family& f) {
         f.trans.emplace_back(f.file->RemoveTransItem(1031));
         EXPECT_EQ(f.file->RemoveTransItem(1031), nullptr);
       }},
      {"ChangeTransLang", [](Family& f) { f.file->ChangeTransLang(f.t1031, 1036); }},
      {"trans SetStatus", [](Family& f) { f.t1031->SetStatus(3); }},
      {"trans SetStr", [](Family& f) { f.t1031->SetStr(u"neu"); }},
      {"trans AddBinaryBlock", [&](Family& f) { f.t1031->AddBinaryBlock(bytes, 3); }},
      {"operator=", [](Family& f) { *f.sibling = *f.file; }},
      {"destructor", [](Family& f) { f.root.reset(); }},
      {"reading attaches every child",
       [](Family& f) { ASSERT_TRUE(Load(Save(f.root), f.items.emplace_back())); }},
      {"SetTransProp",
       [](Family& f) { CPropHelper::SetTransProp(f.sibling, u"p", new CIntProp(1), 1031); }},
  };
  size_t rows = 0;
  for (const auto& row : testdata::Rows("items", "events.tsv")) {
    ASSERT_GE(row.size(), 2u);
    SCOPED_TRACE(row[0]);
    ++rows;
    Family f;
    const Bytes before = Snapshot(*f.root);
    std::vector<Bytes> seen;
    Recorder rec;
    const bool oldState = row[1] == "1";
    if (oldState) rec.probe = [&] { seen.push_back(Snapshot(*f.root)); };
    ops.at(row[0])(f);
    EXPECT_EQ(rec.log, Log(row.begin() + 2, row.end()));
    if (oldState) {
      ASSERT_FALSE(seen.empty());
      EXPECT_EQ(seen.front(), before);
      EXPECT_NE(Snapshot(*f.root), before);
    }
  }
  EXPECT_EQ(rows, ops.size());
}

#ifdef ITEMTEST_ALLOCATION_HOOKS
int allocations = -1;  // counted while not negative
void CountAllocation(const volatile void*, size_t) { allocations += allocations >= 0; }
void IgnoreFree(const volatile void*) {}
#endif

TEST(ItemEventServer, DeliveringAllocatesNothing) {
#ifdef ITEMTEST_ALLOCATION_HOOKS
  static const int installed =
      __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree);
  ASSERT_NE(installed, 0);
  Counter one, two;
  CItemEventServer& server = Recorder::Server();
  server.Startup();
  CResItem item;
  allocations = 0;
  server.OnResItemChange(&item);
  const int counted = std::exchange(allocations, -1);
  server.Shutdown();
  EXPECT_EQ(one.changes + two.changes, 2);
  EXPECT_EQ(counted, 0);
#else
  GTEST_SKIP() << "counts allocations through the address sanitizer's hooks";
#endif
}

}  // namespace

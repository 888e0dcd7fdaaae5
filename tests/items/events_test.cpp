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

#include "ItemTestUtil.h"
#include "serial/SerialTestUtil.h"

using namespace itemtest;  // NOLINT: test helpers only

namespace {

TEST(ItemEventServer, DeliversOnlyWhenStartedAndUnlocked) {
  Log shared;
  Recorder first(false), second(false);
  first.out = second.out = &shared;
  first.tag = "1:";
  second.tag = "2:";
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
  EXPECT_EQ(shared, (Log{"1:Startup", "2:Startup", "1:Change @", "2:Change @", "1:End", "2:End",
                         "1:TransAdd @ null", "2:TransAdd @ null", "1:Shutdown", "2:Shutdown"}));
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

// The state a subscriber can see: the item's bytes, children and translations included.
Bytes Snapshot(CResItem& item) {
  return testutil::WriteBody([&](Serial::ISerialStream& s) { item.Do(s); });
}

TEST(ItemEvents, SubscriberSeesTheOldState) {
  const unsigned char bytes[] = {1, 2, 3};
  struct Case {
    const char* name;
    std::function<void(CResItem&, CTransItem&)> op;
  };
  const Case cases[] = {
      {"SetType", [](CResItem& i, CTransItem&) { i.SetType(7); }},
      {"SetReadOnly", [](CResItem& i, CTransItem&) { i.SetReadOnly(true); }},
      {"SetData", [&](CResItem& i, CTransItem&) { i.SetData(bytes, 3); }},
      {"own SetPropW", [](CResItem& i, CTransItem&) { i.SetPropW(u"k", new CIntProp(1)); }},
      {"cfg SetPropW",
       [](CResItem& i, CTransItem&) { CCfgHolder::SetPropW(i, u"k", new CIntProp(1)); }},
      {"RemoveItem", [](CResItem& i, CTransItem&) { delete i.RemoveItem(i.GetResItems()[0]); }},
      {"RemoveTransItem", [](CResItem& i, CTransItem&) { delete i.RemoveTransItem(0x407); }},
      {"ChangeTransLang", [](CResItem& i, CTransItem& t) { i.ChangeTransLang(&t, 0x409); }},
      {"trans SetStatus", [](CResItem&, CTransItem& t) { t.SetStatus(3); }},
      {"trans SetStr", [](CResItem&, CTransItem& t) { t.SetStr(u"neu"); }},
      {"trans AddBinaryBlock", [&](CResItem&, CTransItem& t) { t.AddBinaryBlock(bytes, 3); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CResItem item;
    item.SetPropW(u"base", new CIntProp(0));
    item.AddResItem(new CResItem);
    auto* trans = new CTransItem(0x407);
    trans->SetStr(u"alt");
    item.AddTransItem(trans);
    const Bytes before = Snapshot(item);
    std::vector<Bytes> seen;
    Recorder rec;
    rec.probe = [&] { seen.push_back(Snapshot(item)); };
    c.op(item, *trans);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), before);
    EXPECT_NE(Snapshot(item), before);
  }
}

// root { c1 { g1 } [t1031], c2 }, all detached from the server.
struct Family {
  Family() : root(NewItem(u"root")), c1(NewItem(u"c1")), g1(NewItem(u"g1")), c2(NewItem(u"c2")) {
    root->AddResItem(c1);
    root->AddResItem(c2);
    c1->AddResItem(g1);
    t1031 = NewTrans(1031, u"x");
    c1->AddTransItem(t1031);
  }
  std::unique_ptr<CResItem> root;
  CResItem *c1, *g1, *c2;
  CTransItem* t1031;
  std::vector<std::unique_ptr<CResItem>> items;  // handed back by operations
  std::vector<std::unique_ptr<CTransItem>> trans;
  // Built before the recorder listens, so that only the operation is heard.
  std::unique_ptr<CResItem> spare{NewItem(u"n")};
  std::unique_ptr<CTransItem> spareTrans{NewTrans(1036, u"y")};
};

TEST(ItemEvents, ExactSequences) {
  struct Case {
    const char* name;
    std::function<void(Family&)> op;
    Log expected;
  };
  const Case cases[] = {
      {"AddResItem",
       [](Family& t) { t.c2->AddResItem(t.spare.release()); },
       {"Add c2 n", "Change n"}},
      {"RemoveItem",
       [](Family& t) { t.items.emplace_back(t.root->RemoveItem(t.c1)); },
       {"Change c1", "Remove root c1"}},
      {"ClearResItemList",
       [](Family& t) {
         t.items.emplace_back(t.c1);
         t.items.emplace_back(t.c2);
         t.root->ClearResItemList();
       },
       {"Begin", "Change c1", "Remove root c1", "Change c2", "Remove root c2", "End"}},
      {"configuration property",
       [](Family& t) {
         CCfgHolder::SetPropW(*t.c1, u"k", new CIntProp(1));
         CCfgHolder::SetPropW(*t.c1, u"k", new CIntProp(2));
         CCfgHolder::DeleteProp(*t.c1, u"k");
         CCfgHolder::DeleteProp(*t.c1, u"k");
       },
       {"Change c1", "Config c1 k -->#1", "Change c1", "Config c1 k #1->#2", "Change c1",
        "Config c1 k #2->-"}},
      {"AddTransItem",
       [](Family& t) { t.c2->AddTransItem(t.spareTrans.release()); },
       {"TransAdd c2 t1036"}},
      {"RemoveTransItem",
       [](Family& t) {
         t.trans.emplace_back(t.c1->RemoveTransItem(1031));
         EXPECT_EQ(t.c1->RemoveTransItem(1031), nullptr);
       },
       {"TransRemove c1 t1031"}},
      {"ChangeTransLang",
       [](Family& t) { t.c1->ChangeTransLang(t.t1031, 1036); },
       {"Begin", "TransRemove c1 t1031", "TransChange c1 t1031", "TransAdd c1 t1036", "End"}},
      // The fifth change stores the resource id, so the sixth names c1.
      {"operator=",
       [](Family& t) { *t.c2 = *t.c1; },
       {"Begin", "Change c2", "Change c2", "Change c2", "Change c2", "Change c2", "Change c1",
        "End"}},
      {"destructor",
       [](Family& t) { t.root.reset(); },
       {"Begin", "Delete root", "Delete c1", "Delete g1", "Delete c2", "End"}},
      {"reading attaches every child",
       [](Family& t) {
         t.items.emplace_back();
         ASSERT_TRUE(Load(Save(t.root), t.items.back()));
       },
       {"Change g1", "Change c1", "Change c2"}},
      {"SetTransProp",
       [](Family& t) { CPropHelper::SetTransProp(t.c2, u"p", new CIntProp(1), 1031); },
       {"Begin", "TransAdd c2 t1031", "TransChange c2 t1031", "End"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Family tree;
    Recorder rec;
    c.op(tree);
    EXPECT_EQ(rec.log, c.expected);
  }
}

#ifdef ITEMTEST_ALLOCATION_HOOKS
bool countAllocations = false;
int allocations = 0;
void CountAllocation(const volatile void*, size_t) {
  if (countAllocations) ++allocations;
}
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
  countAllocations = true;
  server.OnResItemChange(&item);
  countAllocations = false;
  server.Shutdown();
  EXPECT_EQ(one.changes + two.changes, 2);
  EXPECT_EQ(allocations, 0);
#else
  GTEST_SKIP() << "counts allocations through the address sanitizer's hooks";
#endif
}

}  // namespace

// Message routing: notifications reach every receiver once, in registration
// order, and none after it unregisters; requests stop at the first receiver
// that answers; suppression drops only message-panel notifications.
#include "util/Messaging.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "items/ResItem.h"

namespace {

// A dispatcher of the test's own, so that most cases need not share the
// process-wide one.
class LocalProxy : public CMessageProxy {
 public:
  LocalProxy() = default;
  LocalProxy(const LocalProxy&) = default;
  LocalProxy& operator=(const LocalProxy&) = default;
};

using Log = std::vector<std::string>;

// Writes one line per call into a log shared by all receivers of a test,
// so that the order across receivers shows: "<name> notify|ask <id> ...".
class Recorder : public IMessager {
 public:
  Recorder(std::string name, Log& log, bool answers = false)
      : name_(std::move(name)), log_(log), answers_(answers) {}

  void OnNotifyMsg(CMgsId id, const void* data) override {
    std::string line = name_ + " notify " + std::to_string(id);
    if (id == MessagePanel) {
      const auto& msg = *static_cast<const CMessagePanelMsg*>(data);
      line += " type " + std::to_string(msg.type) + " \"" + msg.text.ToUtf8() + "\" file \"" +
              msg.file.ToUtf8() + "\"" + (msg.item ? " item" : "");
      lastItem_ = msg.item;
    }
    log_.push_back(line);
  }

  bool OnMessage(CMgsId id, const void* data, void* result) override {
    log_.push_back(name_ + " ask " + std::to_string(id) + " " +
                   std::to_string(*static_cast<const int*>(data)));
    if (answers_) *static_cast<std::string*>(result) = name_;
    return answers_;
  }

  const CResItem* lastItem() const { return lastItem_; }

 private:
  std::string name_;
  Log& log_;
  bool answers_;
  const CResItem* lastItem_ = nullptr;
};

void Notify(CMessageProxy& proxy, const char16_t* text,
            CMessagePanelMsg::CMsgType type = CMessagePanelMsg::ErrorReport) {
  const CMessagePanelMsg msg(text, type, nullptr, CString());
  proxy.OnNotifyMsg(IMessager::MessagePanel, &msg);
}

// Asks with the payload 7; returns the answering receiver's name or "-".
std::string Ask(CMessageProxy& proxy, IMessager::CMgsId id = IMessager::MessagePanel) {
  const int payload = 7;
  std::string answer = "unchanged";
  const bool handled = proxy.OnMessage(id, &payload, &answer);
  EXPECT_EQ(handled, answer != "unchanged");
  return handled ? answer : "-";
}

const IMessager::CMgsId kHostId = static_cast<IMessager::CMgsId>(5);

TEST(MessagerTest, BaseHandlesNothing) {
  struct Bare : IMessager {};
  Bare bare;
  const int payload = 1;
  int result = 42;
  EXPECT_FALSE(bare.OnMessage(IMessager::MessagePanel, &payload, &result));
  EXPECT_EQ(result, 42);
  bare.OnNotifyMsg(IMessager::MessagePanel, nullptr);  // must not touch the data
}

TEST(MessageProxyTest, NotificationReachesEachReceiverOnceInOrder) {
  Log log;
  Recorder a("a", log), b("b", log), c("c", log);
  LocalProxy proxy;
  proxy.Register(b);
  proxy.Register(a);
  proxy.Register(c);
  const CResItem item;
  const CMessagePanelMsg msg(u"line 1", CMessagePanelMsg::ProcessOutput, &item, u"x.dfm");
  proxy.OnNotifyMsg(IMessager::MessagePanel, &msg);
  EXPECT_EQ(log, (Log{"b notify 0 type 0 \"line 1\" file \"x.dfm\" item",
                      "a notify 0 type 0 \"line 1\" file \"x.dfm\" item",
                      "c notify 0 type 0 \"line 1\" file \"x.dfm\" item"}));
  for (const Recorder* r : {&a, &b, &c}) EXPECT_EQ(r->lastItem(), &item);

  // The library's own kinds, kinds a host may define, and host ids.
  for (int type : {2, 1, 9}) {
    log.clear();
    Notify(proxy, u"m", static_cast<CMessagePanelMsg::CMsgType>(type));
    const std::string tail = " notify 0 type " + std::to_string(type) + " \"m\" file \"\"";
    EXPECT_EQ(log, (Log{"b" + tail, "a" + tail, "c" + tail})) << type;
  }
  log.clear();
  proxy.OnNotifyMsg(kHostId, nullptr);
  EXPECT_EQ(log, (Log{"b notify 5", "a notify 5", "c notify 5"}));
}

TEST(MessageProxyTest, NoneAfterUnregister) {
  Log log;
  Recorder a("a", log), b("b", log), c("c", log), stranger("s", log);
  LocalProxy proxy;
  proxy.Register(a);
  proxy.Register(b);
  proxy.Register(c);
  proxy.Unregister(b);
  Notify(proxy, u"1");
  EXPECT_EQ(log, (Log{"a notify 0 type 2 \"1\" file \"\"", "c notify 0 type 2 \"1\" file \"\""}));

  // Unregistering again, or a receiver never registered, changes nothing.
  log.clear();
  proxy.Unregister(b);
  proxy.Unregister(stranger);
  Notify(proxy, u"2");
  EXPECT_EQ(log, (Log{"a notify 0 type 2 \"2\" file \"\"", "c notify 0 type 2 \"2\" file \"\""}));

  // Registering again puts it at the end.
  log.clear();
  proxy.Register(b);
  proxy.OnNotifyMsg(kHostId, nullptr);
  EXPECT_EQ(log, (Log{"a notify 5", "c notify 5", "b notify 5"}));
  // With nobody left nothing is delivered and nobody answers.
  for (Recorder* r : {&a, &b, &c}) proxy.Unregister(*r);
  log.clear();
  Notify(proxy, u"4");
  EXPECT_EQ(Ask(proxy), "-");
  EXPECT_TRUE(log.empty());
}

TEST(MessageProxyTest, TwiceRegisteredIsCalledTwiceAndLeavesOneEntryAtATime) {
  Log log;
  Recorder a("a", log), b("b", log);
  LocalProxy proxy;
  proxy.Register(a);
  proxy.Register(b);
  proxy.Register(a);
  proxy.OnNotifyMsg(kHostId, nullptr);
  EXPECT_EQ(log, (Log{"a notify 5", "b notify 5", "a notify 5"}));
  // The first entry goes.
  log.clear();
  proxy.Unregister(a);
  proxy.OnNotifyMsg(kHostId, nullptr);
  EXPECT_EQ(log, (Log{"b notify 5", "a notify 5"}));
  log.clear();
  proxy.Unregister(a);
  proxy.OnNotifyMsg(kHostId, nullptr);
  EXPECT_EQ(log, (Log{"b notify 5"}));
}

TEST(MessageProxyTest, RequestStopsAtTheFirstReceiverThatAnswers) {
  Log log;
  Recorder silent1("s1", log), silent2("s2", log);
  Recorder answer1("a1", log, true), answer2("a2", log, true);
  LocalProxy proxy;
  proxy.Register(silent1);
  proxy.Register(silent2);
  EXPECT_EQ(Ask(proxy), "-");
  EXPECT_EQ(log, (Log{"s1 ask 0 7", "s2 ask 0 7"}));

  proxy.Register(answer1);
  proxy.Register(answer2);
  log.clear();
  EXPECT_EQ(Ask(proxy, kHostId), "a1");
  EXPECT_EQ(log, (Log{"s1 ask 5 7", "s2 ask 5 7", "a1 ask 5 7"}));

  proxy.Unregister(answer1);
  log.clear();
  EXPECT_EQ(Ask(proxy), "a2");
  EXPECT_EQ(log, (Log{"s1 ask 0 7", "s2 ask 0 7", "a2 ask 0 7"}));
}

TEST(MessageProxyTest, SuppressionDropsOnlyMessagePanelNotifications) {
  Log log;
  Recorder a("a", log, true), b("b", log);
  LocalProxy proxy;
  proxy.Register(b);
  proxy.Register(a);
  proxy.SuppressMPNotifications(true);
  Notify(proxy, u"lost");
  EXPECT_TRUE(log.empty());
  proxy.OnNotifyMsg(kHostId, nullptr);
  EXPECT_EQ(Ask(proxy), "a");
  EXPECT_EQ(log, (Log{"b notify 5", "a notify 5", "b ask 0 7", "a ask 0 7"}));

  // Dropped, not queued: lifting the flag delivers only what comes next.
  log.clear();
  proxy.SuppressMPNotifications(false);
  Notify(proxy, u"seen");
  EXPECT_EQ(log, (Log{"b notify 0 type 2 \"seen\" file \"\"",
                      "a notify 0 type 2 \"seen\" file \"\""}));
}

TEST(MessageProxyTest, CopyTakesReceiversAndFlag) {
  Log log;
  Recorder a("a", log), b("b", log);
  LocalProxy original;
  original.Register(a);
  original.SuppressMPNotifications(true);
  LocalProxy copy(original);
  copy.Register(b);
  Notify(copy, u"x");
  EXPECT_TRUE(log.empty());
  copy.OnNotifyMsg(kHostId, nullptr);
  original.OnNotifyMsg(kHostId, nullptr);
  EXPECT_EQ(log, (Log{"a notify 5", "b notify 5", "a notify 5"}));

  log.clear();
  LocalProxy assigned;
  assigned = copy;
  assigned.SuppressMPNotifications(false);
  Notify(assigned, u"y");
  EXPECT_EQ(log, (Log{"a notify 0 type 2 \"y\" file \"\"", "b notify 0 type 2 \"y\" file \"\""}));
}

TEST(MessageProxyInstanceTest, OneDispatcherForTheProcess) {
  CMessageProxy& proxy = CMessageProxy::Instance();
  EXPECT_EQ(&proxy, &CMessageProxy::Instance());
  Log log;
  Recorder panel("panel", log, true);
  proxy.Register(panel);
  Notify(CMessageProxy::Instance(), u"cannot open x.mdb");
  EXPECT_EQ(Ask(CMessageProxy::Instance()), "panel");
  proxy.Unregister(panel);
  Notify(CMessageProxy::Instance(), u"after");
  EXPECT_EQ(Ask(CMessageProxy::Instance()), "-");
  EXPECT_EQ(log, (Log{"panel notify 0 type 2 \"cannot open x.mdb\" file \"\"", "panel ask 0 7"}));
}

}  // namespace

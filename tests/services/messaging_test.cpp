// Message routing: notifications reach every receiver once, in registration
// order, and none after it unregisters; requests stop at the first receiver
// that answers; suppression drops only message-panel notifications.
#include "services/Messaging.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "platform/TestData.h"

namespace {

// A dispatcher of the test's own, so that most cases need not share the
// process-wide one.
class LocalProxy : public CMessageProxy {};

const int kPayload = 7;
const IMessager::CMgsId kHostId = static_cast<IMessager::CMgsId>(5);

// Appends "<name>m" (message panel), "<name>h" (host id) or "<name>?"
// (request) to a log shared by the receivers of a test.
class Recorder : public IMessager {
 public:
  Recorder(char name, std::string& log, bool answers) : name_(name), log_(log), answers_(answers) {}
  void OnNotifyMsg(CMgsId id, const void* data) override {
    EXPECT_EQ(data, &kPayload);
    log_ += std::string(1, name_) + (id == MessagePanel ? "m " : "h ");
  }
  bool OnMessage(CMgsId id, const void* data, void* result) override {
    EXPECT_EQ(data, &kPayload);
    EXPECT_EQ(id, kHostId);
    log_ += std::string(1, name_) + "? ";
    if (answers_) *static_cast<char*>(result) = name_;
    return answers_;
  }

 private:
  char name_;
  std::string& log_;
  bool answers_;
};

// Runs `script` on `proxy` with receivers a, b (silent) and x, y (answer):
// "+r"/"-r" (un)register r, "m"/"h" notify the panel/a host id, "?" asks
// (logging "=r" for the answer, "=-" for none), "S"/"s" set/lift suppression.
std::string Route(CMessageProxy& proxy, const std::string& script) {
  std::string log;
  std::map<char, Recorder> r;
  for (const char name : {'a', 'b', 'x', 'y'}) r.try_emplace(name, name, log, name > 'b');
  std::istringstream words(script);
  for (std::string w; words >> w;) {
    if (w[0] == '+') proxy.Register(r.at(w[1]));
    if (w[0] == '-') proxy.Unregister(r.at(w[1]));
    if (w == "m") proxy.OnNotifyMsg(IMessager::MessagePanel, &kPayload);
    if (w == "h") proxy.OnNotifyMsg(kHostId, &kPayload);
    if (w == "S" || w == "s") proxy.SuppressMPNotifications(w == "S");
    if (w == "?") {
      char answer = '-';
      EXPECT_EQ(proxy.OnMessage(kHostId, &kPayload, &answer), answer != '-');
      log += std::string("=") + answer + " ";
    }
  }
  for (int twice = 0; twice < 2; ++twice) {
    for (auto& entry : r) proxy.Unregister(entry.second);
  }
  return log;
}

// Rows: testdata/routes.tsv.
TEST(MessageProxyTest, RoutesByScript) {
  for (const auto& row : testdata::Rows("services", "routes.tsv")) {
    LocalProxy proxy;
    EXPECT_EQ(Route(proxy, row.at(0)), row.at(1) + " ") << row.at(2);
  }
  EXPECT_EQ(Route(CMessageProxy::Instance(), "+x m ?"), "xm x? =x ");  // the process-wide one
}

}  // namespace

// Shared by the file and process tests: a fresh scratch folder per test under
// ITEMLIB_TEST_TMP, and a receiver that keeps the message-panel messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/CString.h"
#include "platform/Files.h"
#include "services/Messaging.h"

// The native folder `<ITEMLIB_TEST_TMP>/<suite>.<test>`, emptied and created.
inline std::string ScratchDir() {
  const char* base = std::getenv("ITEMLIB_TEST_TMP");
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string dir = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" +
                    info->test_suite_name() + "." + info->name();
  if (Files::Exists(dir)) {
    Files::RemoveContents(dir);
    Files::RemoveDir(dir);
  }
  Files::MakeDir(dir);
  return dir;
}

class PanelLog : public IMessager {
 public:
  PanelLog() { CMessageProxy::Instance().Register(*this); }
  ~PanelLog() override { CMessageProxy::Instance().Unregister(*this); }
  PanelLog(const PanelLog&) = delete;
  PanelLog& operator=(const PanelLog&) = delete;

  void OnNotifyMsg(CMgsId id, const void* data) override {
    if (id == MessagePanel) messages.push_back(*static_cast<const CMessagePanelMsg*>(data));
  }
  // Every text, concatenated.
  CString All() const {
    CString all;
    for (const CMessagePanelMsg& m : messages) all += m.text;
    return all;
  }

  std::vector<CMessagePanelMsg> messages;
};

// The dispatcher of host messages and the receiver interface's defaults.
// Kept apart from the items so that storage and process code can report
// without knowing who listens.
#include "services/Messaging.h"

#include <algorithm>

bool IMessager::OnMessage(CMgsId /*id*/, const void* /*data*/, void* /*result*/) {
  return false;
}

void IMessager::OnNotifyMsg(CMgsId /*id*/, const void* /*data*/) {}

CMessageProxy& CMessageProxy::Instance() {
  static CMessageProxy proxy;
  return proxy;
}

void CMessageProxy::Register(IMessager& receiver) { receivers_.push_back(&receiver); }

void CMessageProxy::Unregister(IMessager& receiver) {
  const auto it = std::find(receivers_.begin(), receivers_.end(), &receiver);
  if (it != receivers_.end()) receivers_.erase(it);
}

void CMessageProxy::OnNotifyMsg(CMgsId id, const void* data) {
  if (suppress_ && id == MessagePanel) return;
  for (IMessager* receiver : receivers_) receiver->OnNotifyMsg(id, data);
}

bool CMessageProxy::OnMessage(CMgsId id, const void* data, void* result) {
  for (IMessager* receiver : receivers_) {
    if (receiver->OnMessage(id, data, result)) return true;
  }
  return false;
}

void SendToMessagePanel(const CString& text, CMessagePanelMsg::CMsgType type) {
  const CMessagePanelMsg message(text, type, nullptr, CString());
  CMessageProxy::Instance().OnNotifyMsg(IMessager::MessagePanel, &message);
}

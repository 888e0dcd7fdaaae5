// Message routing to the host's message panel: the receiver interface, the
// message the library sends, and the one process-wide dispatcher. The library
// reports problems and the output of external programs here instead of
// showing anything itself.
#pragma once

#include <cstdint>
#include <list>
#include <utility>

#include "platform/CString.h"

class CResItem;

// What a host's message receiver implements. Both operations default to
// "not handled", so a receiver overrides only what it cares about.
class IMessager {
 public:
  // The fixed underlying type lets a host route ids of its own through the
  // dispatcher; the library itself sends only MessagePanel.
  enum CMgsId : std::int32_t {
    MessagePanel = 0,  // a notification whose data is a CMessagePanelMsg
  };

  virtual ~IMessager() = default;

  // A request: returns true when this receiver handled it (and filled
  // `result` as the id prescribes).
  virtual bool OnMessage(CMgsId id, const void* data, void* result);
  // A notification. `data` lives only during the call: copy what you keep.
  virtual void OnNotifyMsg(CMgsId id, const void* data);

 protected:
  IMessager() = default;
  IMessager(const IMessager&) = default;
  IMessager& operator=(const IMessager&) = default;
};

// One line of the message panel. Sent on the stack: valid only while the
// notification is being delivered.
struct CMessagePanelMsg {
  // 32-bit so that hosts can pass kinds of their own through unchanged.
  enum CMsgType : std::int32_t {
    ProcessOutput = 0,  // a line printed by an external program
    ErrorReport = 2,    // a database or system error
  };

  CMessagePanelMsg(const char16_t* msgText, CMsgType msgType, const CResItem* msgItem,
                   CString msgFile)
      : type(msgType), text(msgText), item(msgItem), file(std::move(msgFile)) {}

  CMsgType type;
  CString text;
  const CResItem* item;  // the item the message is about, or null; not owned
  CString file;          // the file the message is about, or empty
};

// Sends `text` to the message panel as one line of kind `type`, about no item
// and no file: how the library itself reports.
void SendToMessagePanel(const CString& text, CMessagePanelMsg::CMsgType type);

// The dispatcher the library sends every message to. Receivers are not
// owned: the host unregisters one before destroying it. Registering or
// unregistering from inside a dispatch is not supported.
class CMessageProxy : public IMessager {
 public:
  // Created empty on first use; lives until the library is unloaded.
  static CMessageProxy& Instance();

  // Appends `receiver`; one registered twice gets every notification twice.
  void Register(IMessager& receiver);
  // Removes the first entry of `receiver`; nothing when it is not registered.
  void Unregister(IMessager& receiver);

  // Every receiver in registration order, unless suppressed (MessagePanel
  // only).
  void OnNotifyMsg(CMgsId id, const void* data) override;
  // Asks the receivers in registration order; true from the first that
  // handles it, whose successors are not asked. False when none does.
  bool OnMessage(CMgsId id, const void* data, void* result) override;

  // While set, message-panel notifications are dropped (not queued); other
  // ids still pass.
  void SuppressMPNotifications(bool suppress) { suppress_ = suppress; }

 protected:
  CMessageProxy() = default;
  CMessageProxy(const CMessageProxy&) = default;
  CMessageProxy& operator=(const CMessageProxy&) = default;

 private:
  std::list<IMessager*> receivers_;
  bool suppress_ = false;
};

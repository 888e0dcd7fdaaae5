// The event server and the scope objects.
#include "items/ItemEvents.h"

#include <boost/bind/bind.hpp>
#include <iterator>

CItemEventServer& CItemEventServer::Instance() {
  static CItemEventServer server;
  return server;
}

template <typename F>
void CItemEventServer::ForEach(F call) {
  if (subscribers_.empty()) return;
  // Walks the list itself, not a copy: delivery allocates nothing, and an
  // entry unsubscribed meanwhile is seen as null instead of being called.
  // Entries appended during the round lie past `last` and wait for the next.
  struct Round {
    explicit Round(CItemEventServer& server) : server(server) { ++server.rounds_; }
    ~Round() {
      if (--server.rounds_ == 0 && server.nulled_) {
        server.subscribers_.remove(nullptr);
        server.nulled_ = false;
      }
    }
    CItemEventServer& server;
  } round(*this);
  const auto last = std::prev(subscribers_.end());
  for (auto it = subscribers_.begin();; ++it) {
    if (*it) call(*it);
    if (it == last) break;
  }
}

void CItemEventServer::Startup() {
  started_ = true;
  ForEach([](CResItemEvents* s) { s->OnStartup(); });
}

void CItemEventServer::Shutdown() {
  started_ = false;
  ForEach([](CResItemEvents* s) { s->OnShutdown(); });
}

void CItemEventServer::Subscribe(CResItemEvents* subscriber) {
  if (subscriber) subscribers_.push_back(subscriber);
}

void CItemEventServer::Unsubscribe(CResItemEvents* subscriber) {
  if (!subscriber) return;
  if (rounds_ == 0) {
    subscribers_.remove(subscriber);
    return;
  }
  for (CResItemEvents*& entry : subscribers_) {
    if (entry == subscriber) {
      entry = nullptr;
      nulled_ = true;
    }
  }
}

void CItemEventServer::OnResItemChange(CResItem* item) {
  if (Delivering()) ForEach([&](CResItemEvents* s) { s->OnResItemChange(item); });
}

void CItemEventServer::OnResItemAdd(CResItem* parent, CResItem* child) {
  if (Delivering()) ForEach([&](CResItemEvents* s) { s->OnResItemAdd(parent, child); });
}

void CItemEventServer::OnResItemRemove(CResItem* parent, CResItem* child) {
  if (Delivering()) ForEach([&](CResItemEvents* s) { s->OnResItemRemove(parent, child); });
}

void CItemEventServer::OnResItemDelete(CResItem* item) {
  if (Delivering()) ForEach([&](CResItemEvents* s) { s->OnResItemDelete(item); });
}

void CItemEventServer::OnTransItemChange(CResItem* item, CTransItem* trans) {
  if (Delivering()) ForEach([&](CResItemEvents* s) { s->OnTransItemChange(item, trans); });
}

void CItemEventServer::OnTransItemAdd(CResItem* item, CTransItem* trans) {
  if (Delivering()) ForEach([&](CResItemEvents* s) { s->OnTransItemAdd(item, trans); });
}

void CItemEventServer::OnTransItemRemove(CResItem* item, CTransItem* trans) {
  if (Delivering()) ForEach([&](CResItemEvents* s) { s->OnTransItemRemove(item, trans); });
}

void CItemEventServer::OnConfigPropChanged(CResItem* item, const CPropName& name,
                                           const CProp* oldValue, const CProp* newValue) {
  if (Delivering()) {
    ForEach([&](CResItemEvents* s) { s->OnConfigPropChanged(item, name, oldValue, newValue); });
  }
}

void CItemEventServer::OnMultiOperationBegin() {
  ++depth_;
  if (Delivering() && depth_ == 1) ForEach([](CResItemEvents* s) { s->OnMultiOperationBegin(); });
}

void CItemEventServer::OnMultiOperationEnd() {
  --depth_;
  if (Delivering() && depth_ == 0) ForEach([](CResItemEvents* s) { s->OnMultiOperationEnd(); });
}

CScopedCaller::CScopedCaller(boost::function<void()> onEnter, boost::function<void()> onExit)
    : onExit_(std::move(onExit)) {
  if (onEnter) onEnter();
}

CScopedCaller::~CScopedCaller() {
  if (onExit_) onExit_();
  onExit_.clear();
}

CBoolLocker::CBoolLocker(int& counter)
    : CScopedCaller(boost::bind(&CBoolLocker::Lock, &counter),
                    boost::bind(&CBoolLocker::Unlock, &counter)) {}

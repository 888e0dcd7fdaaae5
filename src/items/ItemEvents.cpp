// The event server and the scope objects.
#include "items/ItemEvents.h"

#include <boost/bind/bind.hpp>
#include <vector>

CItemEventServer& CItemEventServer::Instance() {
  static CItemEventServer server;
  return server;
}

template <typename F>
void CItemEventServer::ForEach(F call) {
  // A snapshot: a subscriber may (un)subscribe while being told.
  const std::vector<CResItemEvents*> snapshot(subscribers_.begin(), subscribers_.end());
  for (CResItemEvents* subscriber : snapshot) call(subscriber);
}

void CItemEventServer::Startup() {
  started_ = true;
  ForEach([](CResItemEvents* s) { s->OnStartup(); });
}

void CItemEventServer::Shutdown() {
  started_ = false;
  ForEach([](CResItemEvents* s) { s->OnShutdown(); });
}

void CItemEventServer::Subscribe(CResItemEvents* subscriber) { subscribers_.push_back(subscriber); }

void CItemEventServer::Unsubscribe(CResItemEvents* subscriber) { subscribers_.remove(subscriber); }

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

// Change notification for the item tree: the subscriber interface, the one
// process-wide dispatcher that items call before every change, and two scope
// objects that pair an action with its undo.
#pragma once

#include <boost/function.hpp>
#include <list>

class CResItem;
class CTransItem;
class CProp;
class CPropName;

// What a view of the project implements; every operation defaults to nothing.
class CResItemEvents {
 public:
  virtual ~CResItemEvents() = default;
  virtual void OnResItemChange(CResItem* /*item*/) {}
  virtual void OnResItemAdd(CResItem* /*parent*/, CResItem* /*child*/) {}
  virtual void OnResItemRemove(CResItem* /*parent*/, CResItem* /*child*/) {}
  virtual void OnResItemDelete(CResItem* /*item*/) {}
  virtual void OnTransItemChange(CResItem* /*item*/, CTransItem* /*trans*/) {}
  virtual void OnTransItemAdd(CResItem* /*item*/, CTransItem* /*trans*/) {}
  virtual void OnTransItemRemove(CResItem* /*item*/, CTransItem* /*trans*/) {}
  virtual void OnConfigPropChanged(CResItem* /*item*/, const CPropName& /*name*/,
                                   const CProp* /*oldValue*/, const CProp* /*newValue*/) {}
  virtual void OnMultiOperationBegin() {}
  virtual void OnMultiOperationEnd() {}
  virtual void OnStartup() {}
  virtual void OnShutdown() {}
};

// The dispatcher. Silent until Startup(), and while locked. Single events
// pass inside multi-operations too; only the outermost begin and end of
// nested multi-operations are passed on. Subscribers are not owned. One
// unsubscribed during a notification is not called again, not even later in
// the same round, so it may be deleted at once; one subscribed during a
// notification is called from the next notification on.
class CItemEventServer : public CResItemEvents {
 public:
  static CItemEventServer& Instance();
  CItemEventServer(const CItemEventServer&) = delete;
  CItemEventServer& operator=(const CItemEventServer&) = delete;

  void Startup();
  void Shutdown();
  bool IsStarted() const { return started_; }
  // A subscriber added twice is called twice. Null is ignored.
  void Subscribe(CResItemEvents* subscriber);
  // Removes every entry of `subscriber`.
  void Unsubscribe(CResItemEvents* subscriber);
  // true adds a lock, false takes one away.
  void SetLock(bool lock) { lockCount_ += lock ? 1 : -1; }
  bool IsLocked() const { return lockCount_ > 0; }
  bool IsMultiOperation() const { return depth_ != 0; }

  void OnResItemChange(CResItem* item) override;
  void OnResItemAdd(CResItem* parent, CResItem* child) override;
  void OnResItemRemove(CResItem* parent, CResItem* child) override;
  void OnResItemDelete(CResItem* item) override;
  void OnTransItemChange(CResItem* item, CTransItem* trans) override;
  void OnTransItemAdd(CResItem* item, CTransItem* trans) override;
  void OnTransItemRemove(CResItem* item, CTransItem* trans) override;
  void OnConfigPropChanged(CResItem* item, const CPropName& name, const CProp* oldValue,
                           const CProp* newValue) override;
  void OnMultiOperationBegin() override;
  void OnMultiOperationEnd() override;

 private:
  CItemEventServer() = default;
  bool Delivering() const { return started_ && lockCount_ < 1; }
  template <typename F>
  void ForEach(F call);

  bool started_ = false;
  int lockCount_ = 0;
  int depth_ = 0;
  // Rounds of delivery in progress (they nest when a subscriber changes an
  // item). While any runs, an unsubscribed entry is only nulled, so that
  // the walks in progress stay valid; the outermost round erases them.
  int rounds_ = 0;
  bool nulled_ = false;
  std::list<CResItemEvents*> subscribers_;
};

// Runs `onEnter` now and `onExit` when the scope ends, exceptions included.
class CScopedCaller {
 public:
  CScopedCaller(boost::function<void()> onEnter, boost::function<void()> onExit);
  virtual ~CScopedCaller();
  CScopedCaller(const CScopedCaller&) = delete;
  CScopedCaller& operator=(const CScopedCaller&) = delete;

 private:
  boost::function<void()> onExit_;
};

// Raises a counter for its lifetime.
class CBoolLocker : public CScopedCaller {
 public:
  explicit CBoolLocker(int& counter);
  static void Lock(int* counter) { ++*counter; }
  static void Unlock(int* counter) { --*counter; }
};

// Brackets a group of changes as one multi-operation of the event server.
class CMultiOperation {
 public:
  CMultiOperation() { CItemEventServer::Instance().OnMultiOperationBegin(); }
  ~CMultiOperation() { CItemEventServer::Instance().OnMultiOperationEnd(); }
  CMultiOperation(const CMultiOperation&) = delete;
  CMultiOperation& operator=(const CMultiOperation&) = delete;
};

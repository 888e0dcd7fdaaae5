// The owning map of property values that every item and translation is (and
// an item's configuration has): it tells one handler before and after each
// change, compares, copies by cloning, and serialises every value with its
// class name.
#pragma once

#include <map>

#include "props/Prop.h"
#include "props/PropName.h"

class CPropContainer;

// Told of every change made through a container's public operations.
// `oldValue` is null when the name was absent, `newValue` null for a removal;
// both values are alive during both calls.
struct IPropContHandler {
  virtual void OnBeforePropChange(const CPropContainer& container, const CPropName& name,
                                  const CProp* oldValue, const CProp* newValue) = 0;
  virtual void OnAfterPropChange(const CPropContainer& container, const CPropName& name,
                                 const CProp* oldValue, const CProp* newValue) = 0;

 protected:
  ~IPropContHandler() = default;
};

class CPropContainer {
 public:
  // `handler` is not owned and may be null.
  explicit CPropContainer(IPropContHandler* handler = nullptr) : handler_(handler) {}
  // Deletes every value; tells nobody.
  virtual ~CPropContainer();
  // Containers never share values: duplicate with Copy().
  CPropContainer(const CPropContainer&) = delete;
  CPropContainer& operator=(const CPropContainer&) = delete;

  // The value under `name`, or null.
  const CProp* GetPropW(const CPropName& name) const;
  const std::map<CPropName, CProp*>& GetProps() const { return props_; }
  IPropContHandler* GetHandler() const { return handler_; }

  // Takes ownership of `value` and stores it under `name`; the value it
  // replaces is deleted after the handler's second call. Null does nothing.
  // REQUIRES: the container does not already hold `value`.
  void SetPropW(const CPropName& name, CProp* value);
  // Stores an empty value: for properties whose presence is the meaning.
  void SetPropW(const CPropName& name);
  // Hands the value under `name` back to the caller, or null when absent
  // (then nobody is told).
  CProp* RemovePropW(const CPropName& name);

  // Replaces the content by clones of `other`'s values; tells nobody.
  void Copy(const CPropContainer& other);

  // Same size and pairwise equal values in name order (names not compared).
  bool operator==(const CPropContainer& other) const;
  bool operator!=(const CPropContainer& other) const { return !(*this == other); }

  // The node 0x01 holding the map of names and class-named values. Writing
  // stops after an entry whose value fails to write, as reading stops there.
  // Reading replaces the content without telling the handler and keeps what
  // was read before an entry that fails; always true. Structural faults
  // throw FormatIO.
  bool Do(Serial::ISerialStream& s);
  // The same on a path (serial/SerialPath.h), instantiated for StreamPath and
  // the binary writer's and reader's paths: items run their containers so.
  template <typename Path>
  bool DoOn(Path& p);

 protected:
  void SetHandler(IPropContHandler* handler) { handler_ = handler; }

 private:
  void Clear();

  std::map<CPropName, CProp*> props_;
  IPropContHandler* handler_;
};

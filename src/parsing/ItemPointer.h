// How the hand-over files store their item chain: a null flag, then the item
// tree, each item made by the default factory. One set-up for the localized
// file requests and the parse parameters, so the two cannot drift apart.
#pragma once

#include <memory>

#include "items/ResItem.h"
#include "serial/ISerialStream.h"
#include "serial/SerialStrategies.h"

// Not copyable: the pointer strategy refers to its two siblings.
class CItemPointerStrategy {
 public:
  CItemPointerStrategy() = default;
  CItemPointerStrategy(const CItemPointerStrategy&) = delete;
  CItemPointerStrategy& operator=(const CItemPointerStrategy&) = delete;

  // For writing: the item stays the caller's. Read through the owning form,
  // which never hands out a half-read tree.
  bool Do(Serial::ISerialStream& s, CResItem*& item) { return pointer_.Do(s, item); }
  // Reading adopts the item only when it was read whole.
  bool Do(Serial::ISerialStream& s, std::unique_ptr<CResItem>& item) {
    return Serial::AutoPtrSerialStrategy<CResItem>(pointer_).Do(s, item);
  }

 private:
  Serial::DefaultSerialStrategy<CResItem> element_;
  Serial::DefaultMonoFactory<CResItem> factory_;
  Serial::MonoPtrSerialStrategy<CResItem> pointer_{element_, factory_};
};

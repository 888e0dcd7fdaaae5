// libFuzzer target: arbitrary bytes read as a property container, once
// through the sequential reader and once through the tree reader. Whatever
// either leaves in the container, a fault half-way included, must write,
// read back (by either reader) to the same names, classes and values, and
// write the same bytes again; anything else traps.
#include <cstddef>
#include <cstdint>

#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "props/PropContainer.h"

namespace {

auto ReadInto(CPropContainer& container) {
  return [&container](Serial::ISerialStream& s) {
    container.Do(s);  // a fault half-way leaves the entries read before it
    return true;
  };
}

fuzz::Bytes Save(CPropContainer& container) {
  return fuzz::Save([&container](Serial::ISerialStream& s) { container.Do(s); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const bool asTree : {false, true}) {
    CPropContainer container, again, fromTree;
    fuzz::ReadInput(data, size, asTree, ReadInto(container));
    const fuzz::Bytes first = Save(container);
    fuzz::ReadOwn(first, ReadInto(again));
    // Values that differ from their own copy (NaN) can only be held to bytes.
    bool comparable = true;
    for (const auto& entry : container.GetProps()) {
      comparable = comparable && fuzz::EqualsItsCopy(*entry.second);
    }
    if ((comparable && !(container == again)) || Save(again) != first) __builtin_trap();
    if (!fuzz::ReadInput(first.data(), first.size(), true, ReadInto(fromTree))) __builtin_trap();
    if (Save(fromTree) != first) __builtin_trap();
  }
  return 0;
}

// libFuzzer target: arbitrary bytes read as a property container, once
// through the sequential reader and once through the tree reader. Whatever
// either leaves in the container, a fault half-way included, must write,
// read back (by either reader) to the same names, classes and values, and
// write the same bytes again; anything else traps.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"

namespace {

// A fault half-way leaves the entries read before it.
auto Body(CPropContainer& container) {
  return [&container](Serial::ISerialStream& s) { return container.Do(s) || true; };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const bool asTree : {false, true}) {
    CPropContainer container, again, fromTree;
    fuzz::ReadInput(data, size, asTree, Body(container));
    const fuzz::Bytes first = fuzz::Resaves(Body(container), Body(again));
    // Values that differ from their own copy (NaN) can only be held to bytes.
    bool comparable = true;
    for (const auto& entry : container.GetProps()) {
      comparable = comparable && fuzz::EqualsItsCopy(*entry.second);
    }
    if (comparable && !(container == again)) __builtin_trap();
    if (!fuzz::ReadInput(first.data(), first.size(), true, Body(fromTree))) __builtin_trap();
    if (fuzz::Write(Body(fromTree)) != first) __builtin_trap();
  }
  return 0;
}

// libFuzzer target: arbitrary bytes read as a property container, once
// through the sequential reader and once through the tree reader. Whatever
// either leaves in the container, a fault half-way included, must write and
// read back to the same names, classes and values, and write the same bytes
// again; anything else traps.
#include <cstddef>
#include <cstdint>

#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "props/Prop.h"
#include "props/PropContainer.h"

namespace {

// Same names, the very same classes and, where values compare at all,
// equal values; the container's own == must agree.
bool SameContent(const CPropContainer& a, const CPropContainer& b) {
  if (a.GetProps().size() != b.GetProps().size()) return false;
  bool comparable = true;
  auto theirs = b.GetProps().begin();
  for (const auto& mine : a.GetProps()) {
    if (!(mine.first == theirs->first)) return false;
    if (&mine.second->GetPropClass() != &theirs->second->GetPropClass()) return false;
    if (fuzz::EqualsItsCopy(*mine.second)) {
      if (!mine.second->IsEqual(*theirs->second)) return false;
    } else {
      comparable = false;
    }
    ++theirs;
  }
  return !comparable || a == b;
}

auto ReadInto(CPropContainer& container) {
  return [&container](Serial::ISerialStream& s) {
    container.Do(s);
    return true;
  };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const bool asTree : {false, true}) {
    // A fault half-way leaves the entries read before it; they count too.
    CPropContainer container;
    fuzz::ReadInput(data, size, asTree, ReadInto(container));
    const fuzz::Bytes first = fuzz::SaveContainer(container);
    CPropContainer again, fromTree;
    fuzz::ReadOwn(first, ReadInto(again));
    if (!SameContent(container, again)) __builtin_trap();
    if (fuzz::SaveContainer(again) != first) __builtin_trap();
    if (!fuzz::ReadInput(first.data(), first.size(), true, ReadInto(fromTree))) __builtin_trap();
    if (!SameContent(container, fromTree)) __builtin_trap();
  }
  return 0;
}

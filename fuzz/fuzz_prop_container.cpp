// libFuzzer target: arbitrary bytes read as a property container, once
// through the sequential reader and once through the tree reader. Whatever
// either leaves in the container, a fault half-way included, must write and
// read back to the same names, classes and values, and write the same bytes
// again; anything else traps.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzItems.h"
#include "props/Prop.h"
#include "props/PropContainer.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/Streams.h"

namespace {

// False for a value that differs from its own copy (a NaN double in a
// variant): such values can only be held to their bytes.
bool EqualsItsCopy(const CProp& value) {
  const std::unique_ptr<CProp> copy(value.Clone());
  return copy && value.IsEqual(*copy);
}

// Same names, the very same classes and, where values compare at all,
// equal values; the container's own == must agree.
bool SameContent(const CPropContainer& a, const CPropContainer& b) {
  if (a.GetProps().size() != b.GetProps().size()) return false;
  bool comparable = true;
  auto theirs = b.GetProps().begin();
  for (const auto& mine : a.GetProps()) {
    if (!(mine.first == theirs->first)) return false;
    if (&mine.second->GetPropClass() != &theirs->second->GetPropClass()) return false;
    if (EqualsItsCopy(*mine.second)) {
      if (!mine.second->IsEqual(*theirs->second)) return false;
    } else {
      comparable = false;
    }
    ++theirs;
  }
  return !comparable || a == b;
}

// Reads `bytes`, which our writer made, back sequentially: it must be read
// completely, "Root" closed right after the container.
void ReadBack(const fuzz::Bytes& bytes, CPropContainer& out) {
  try {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
    Serial::Binary::BinarySerialIn reader(in);
    out.Do(reader);
    reader.LeaveNode();
  } catch (const Serial::Exceptions::FormatIO&) {
    __builtin_trap();  // our own output rejected
  }
}

void ReadBackTree(const fuzz::Bytes& bytes, CPropContainer& out) {
  try {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
    Serial::Binary::BinarySerialTreeIn tree;
    if (!tree.Load(in)) __builtin_trap();
    out.Do(tree);
  } catch (const Serial::Exceptions::FormatIO&) {
    __builtin_trap();
  }
}

void CheckRoundTrip(CPropContainer& container) {
  const fuzz::Bytes first = fuzz::SaveContainer(container);
  CPropContainer again;
  ReadBack(first, again);
  if (!SameContent(container, again)) __builtin_trap();
  if (fuzz::SaveContainer(again) != first) __builtin_trap();
  CPropContainer fromTree;
  ReadBackTree(first, fromTree);
  if (!SameContent(container, fromTree)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  {
    // A fault half-way leaves the entries read before it; they count too.
    CPropContainer container;
    try {
      Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
      Serial::Binary::BinarySerialIn reader(in);
      container.Do(reader);
    } catch (const Serial::Exceptions::FormatIO&) {
    }
    CheckRoundTrip(container);
  }
  {
    CPropContainer container;
    try {
      Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
      Serial::Binary::BinarySerialTreeIn tree;
      if (tree.Load(in)) container.Do(tree);
    } catch (const Serial::Exceptions::FormatIO&) {
    }
    CheckRoundTrip(container);
  }
  return 0;
}

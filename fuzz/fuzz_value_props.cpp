// libFuzzer target: arbitrary bytes as one property value of any registered
// class, read once sequentially and once through the tree reader; the seeds
// hold the value classes of the language, configuration and help settings.
// Whatever loads must write, read back to an equal value of the very same
// class and write the same bytes again; anything else traps.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "serial/BinarySerialTreeIn.h"

namespace {

// False for a value that differs from its own copy (a NaN double in a
// variant): such values can only be held to their bytes.
bool EqualsItsCopy(const CProp& value) {
  const std::unique_ptr<CProp> copy(value.Clone());
  return copy && value.IsEqual(*copy);
}

void CheckRoundTrip(std::unique_ptr<CProp>& prop) {
  const fuzz::Bytes first =
      fuzz::Save([&prop](Serial::ISerialStream& s) { fuzz::DoProp(s, prop); });
  std::unique_ptr<CProp> back;
  fuzz::ReadOwn(first, [&back](Serial::ISerialStream& s) { return fuzz::DoProp(s, back); });
  if ((prop == nullptr) != (back == nullptr)) __builtin_trap();
  if (prop != nullptr) {
    if (&prop->GetPropClass() != &back->GetPropClass()) __builtin_trap();
    if (EqualsItsCopy(*prop) && !prop->IsEqual(*back)) __builtin_trap();
  }
  if (fuzz::Save([&back](Serial::ISerialStream& s) { fuzz::DoProp(s, back); }) != first) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  {
    std::unique_ptr<CProp> prop;
    bool ok = false;
    try {
      Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
      Serial::Binary::BinarySerialIn reader(in);
      ok = fuzz::DoProp(reader, prop);
    } catch (const Serial::Exceptions::FormatIO&) {
    }
    if (ok) CheckRoundTrip(prop);
  }
  {
    std::unique_ptr<CProp> prop;
    bool ok = false;
    try {
      Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
      Serial::Binary::BinarySerialTreeIn tree;
      ok = tree.Load(in) && fuzz::DoProp(tree, prop);
    } catch (const Serial::Exceptions::FormatIO&) {
    }
    if (ok) CheckRoundTrip(prop);
  }
  return 0;
}

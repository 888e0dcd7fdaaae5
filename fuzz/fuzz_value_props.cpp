// libFuzzer target: arbitrary bytes as one property value of any registered
// class, read once sequentially and once through the tree reader; the seeds
// hold the value classes of the language, configuration and help settings.
// Whatever loads must write, read back to an equal value of the very same
// class and write the same bytes again; anything else traps.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const bool asTree : {false, true}) {
    std::unique_ptr<CProp> prop, back;
    if (!fuzz::ReadInput(data, size, asTree, fuzz::Prop(prop))) continue;
    fuzz::Resaves(fuzz::Prop(prop), fuzz::Prop(back));
    if ((prop == nullptr) != (back == nullptr)) __builtin_trap();
    if (prop != nullptr && fuzz::EqualsItsCopy(*prop) && !prop->IsEqual(*back)) __builtin_trap();
  }
  return 0;
}

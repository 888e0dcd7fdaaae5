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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const bool asTree : {false, true}) {
    std::unique_ptr<CProp> prop, back;
    const auto read = [](std::unique_ptr<CProp>& into) {
      return [&into](Serial::ISerialStream& s) { return fuzz::DoProp(s, into); };
    };
    if (!fuzz::ReadInput(data, size, asTree, read(prop))) continue;
    const auto save = [](std::unique_ptr<CProp>& from) {
      return fuzz::Save([&from](Serial::ISerialStream& s) { fuzz::DoProp(s, from); });
    };
    const fuzz::Bytes first = save(prop);
    fuzz::ReadOwn(first, read(back));
    if (save(back) != first || (prop == nullptr) != (back == nullptr)) __builtin_trap();
    if (prop != nullptr && fuzz::EqualsItsCopy(*prop) && !prop->IsEqual(*back)) __builtin_trap();
  }
  return 0;
}

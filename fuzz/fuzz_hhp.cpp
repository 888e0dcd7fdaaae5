// libFuzzer target: arbitrary bytes as a help project file, one property
// value read through the class registry as `itemtool hhp` reads it. Malformed
// input must end in false or FormatIO and nothing worse; a description that
// loads must render, write, read back equal and write the same bytes again,
// and completing it from its windows must be idempotent.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "help/HhpInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<CProp> prop, back;
  if (!fuzz::ReadInput(data, size, false, fuzz::Prop(prop))) return 0;
  const auto* hhp = dynamic_cast<const CHhpInfoProp*>(prop.get());
  if (hhp == nullptr) return 0;
  fuzz::Resaves(fuzz::Prop(prop), fuzz::Prop(back));
  const auto* again = dynamic_cast<const CHhpInfoProp*>(back.get());
  if (again == nullptr || again->Get() != hhp->Get()) __builtin_trap();
  if (again->Get().ToString() != hhp->Get().ToString()) __builtin_trap();
  CHhpInfo completed(hhp->Get());
  completed.InitSkippedFields();
  CHhpInfo twice(completed);
  twice.InitSkippedFields();
  if (twice != completed) __builtin_trap();
  return 0;
}

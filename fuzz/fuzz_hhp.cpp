// libFuzzer target: arbitrary bytes as a help project file, one property
// value read through the class registry as `itemtool hhp` reads it. Malformed
// input must end in false or FormatIO and nothing worse; a description that
// loads must render, write, read back equal and write the same bytes again,
// and completing it from its windows must be idempotent.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "help/HhpInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<CProp> prop;
  const auto read = [&prop](Serial::ISerialStream& s) { return fuzz::DoProp(s, prop); };
  if (!fuzz::ReadInput(data, size, false, read)) return 0;
  const auto* hhp = dynamic_cast<const CHhpInfoProp*>(prop.get());
  if (hhp == nullptr) return 0;
  const CHhpInfo& info = hhp->Get();
  const CString text = info.ToString();

  const fuzz::Bytes first =
      fuzz::Save([&prop](Serial::ISerialStream& s) { fuzz::DoProp(s, prop); });
  std::unique_ptr<CProp> back;
  fuzz::ReadOwn(first, [&back](Serial::ISerialStream& s) { return fuzz::DoProp(s, back); });
  const auto* again = dynamic_cast<const CHhpInfoProp*>(back.get());
  if (again == nullptr || again->Get() != info || !prop->IsEqual(*back)) __builtin_trap();
  if (again->Get().ToString() != text) __builtin_trap();
  if (fuzz::Save([&back](Serial::ISerialStream& s) { fuzz::DoProp(s, back); }) != first) {
    __builtin_trap();
  }

  CHhpInfo completed(info);
  completed.InitSkippedFields();
  CHhpInfo twice(completed);
  twice.InitSkippedFields();
  if (twice != completed) __builtin_trap();
  return 0;
}

// libFuzzer target: arbitrary bytes loaded as a project root. Malformed
// input must end in FormatIO and nothing worse; a project that loads must
// save, load again from what it saved and then save the very same bytes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "items/ResItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<CResItem> root;
  const auto load = [](std::unique_ptr<CResItem>& into) {
    return [&into](Serial::ISerialStream& s) { return DoProject(s, into); };
  };
  if (!fuzz::ReadInput(data, size, false, load(root))) return 0;
  const fuzz::Bytes first = fuzz::SaveProject(root);
  std::unique_ptr<CResItem> again;
  fuzz::ReadOwn(first, load(again));
  if ((root == nullptr) != (again == nullptr)) __builtin_trap();
  if (fuzz::SaveProject(again) != first) __builtin_trap();
  return 0;
}

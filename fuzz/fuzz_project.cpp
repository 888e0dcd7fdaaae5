// libFuzzer target: arbitrary bytes loaded as a project root. Malformed
// input must end in FormatIO and nothing worse; a project that loads must
// save, load again from what it saved and then save the very same bytes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<CResItem> root, again;
  if (!fuzz::ReadInput(data, size, false, fuzz::Project(root))) return 0;
  fuzz::Resaves(fuzz::Project(root), fuzz::Project(again));
  if ((root == nullptr) != (again == nullptr)) __builtin_trap();
  return 0;
}

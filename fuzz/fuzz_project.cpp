// libFuzzer target: arbitrary bytes loaded as a project root. Malformed
// input must end in FormatIO and nothing worse; a project that loads must
// save, load again from what it saved and then save the very same bytes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzItems.h"
#include "items/ResItem.h"
#include "serial/BinarySerialIn.h"
#include "serial/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  std::unique_ptr<CResItem> root;
  try {
    Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
    Serial::Binary::BinarySerialIn reader(in);
    if (!DoProject(reader, root)) return 0;
  } catch (const Serial::Exceptions::FormatIO&) {
    return 0;
  }

  const fuzz::Bytes first = fuzz::SaveProject(root);
  std::unique_ptr<CResItem> again;
  try {
    Serial::MemoryStreamIn in(first.data(), static_cast<unsigned int>(first.size()));
    Serial::Binary::BinarySerialIn reader(in);
    if (!DoProject(reader, again)) __builtin_trap();
    reader.LeaveNode();  // "Root" ends right after the project
  } catch (const Serial::Exceptions::FormatIO&) {
    __builtin_trap();  // our own output rejected
  }
  if ((root == nullptr) != (again == nullptr)) __builtin_trap();
  if (fuzz::SaveProject(again) != first) __builtin_trap();
  return 0;
}

// libFuzzer target: arbitrary bytes as the parse-parameter file a parser is
// handed (gzip or plain, read through the gzip file reader). Malformed input
// must end in FormatIO and nothing worse; whatever was read, a fault
// half-way included, must write, read back to the same parameters and item
// chain, and write the very same bytes again.
#include <cstddef>
#include <cstdint>

#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "parsing/ParseParams.h"

namespace {

bool SameCommon(const CCommonParseFileParam& a, const CCommonParseFileParam& b) {
  return a.parseLang == b.parseLang && a.nativeLang == b.nativeLang && a.format == b.format &&
         a.fileName == b.fileName && a.useRelative == b.useRelative &&
         a.projectFolder == b.projectFolder && a.isScanForChanges == b.isScanForChanges &&
         a.originalFile == b.originalFile;
}

// Steps from the top of the chain to its file item; -1 without a chain.
int FileItemDepth(const CSerialParseFileParam& param) {
  int depth = -1;
  for (const CResItem* item = param.GetItem(); item != nullptr;
       item = item->GetResItems().empty() ? nullptr : item->GetResItems().front()) {
    ++depth;
  }
  return depth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ScratchFile file(".serial.gz");
  if (!file.Write(data, size)) return 0;
  CSerialParseFileParam param;
  try {
    Serial::GZFileStreamIn in(file.Path());
    Serial::Binary::BinarySerialIn reader(in);
    if (!param.Do(reader)) __builtin_trap();  // documented to always hold
  } catch (const Serial::Exceptions::FormatIO&) {
  }
  // Writing is blind to whether the chain was read whole.
  const fuzz::Bytes first = fuzz::Save([&param](Serial::ISerialStream& s) { param.Do(s); });
  CSerialParseFileParam again;
  fuzz::ReadOwn(first, [&again](Serial::ISerialStream& s) { return again.Do(s); });
  if (!SameCommon(param, again)) __builtin_trap();
  if ((param.GetItem() == nullptr) != (again.GetItem() == nullptr)) __builtin_trap();
  if (FileItemDepth(param) != FileItemDepth(again)) __builtin_trap();
  if ((param.GetFileItem() == nullptr) != (again.GetFileItem() == nullptr)) __builtin_trap();
  if (fuzz::Save([&again](Serial::ISerialStream& s) { again.Do(s); }) != first) __builtin_trap();
  return 0;
}

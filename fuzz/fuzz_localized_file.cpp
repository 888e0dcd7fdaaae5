// libFuzzer target: arbitrary bytes as the localized-file request the writer
// of a localized file is handed (gzip or plain), read through Load. Load
// must give false for malformed input and nothing worse; a request it
// accepts must write, read back and write the very same bytes again (so
// every field and the file item's place survive).
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "parsing/LocalizedTempFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ScratchFile file(".serial.gz");
  if (!file.Write(data, size)) return 0;
  CreateLocalizedTempFile request, again;
  if (!request.Load(file.Path())) return 0;
  const auto write = [&request](Serial::ISerialStream& s) {
    if (!request.Do(s)) __builtin_trap();
  };
  fuzz::Resaves(write, [&again](Serial::ISerialStream& s) { return again.Do(s); });
  return 0;
}

// libFuzzer target: arbitrary bytes as the parse-parameter file a parser is
// handed (gzip or plain, read through the gzip file reader). Malformed input
// must end in FormatIO and nothing worse; whatever was read, a fault
// half-way included, must write, read back and write the very same bytes
// again (so every field and the item chain survive).
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "parsing/ParseParams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ScratchFile file(".serial.gz");
  if (!file.Write(data, size)) return 0;
  CSerialParseFileParam param, again;
  try {
    Serial::GZFileStreamIn in(file.Path());
    Serial::Binary::BinarySerialIn reader(in);
    if (!param.Do(reader)) __builtin_trap();  // documented to always hold
  } catch (const Serial::Exceptions::FormatIO&) {
  }
  // Writing is blind to whether the chain was read whole.
  fuzz::Resaves([&param](Serial::ISerialStream& s) { param.Do(s); },
                [&again](Serial::ISerialStream& s) { return again.Do(s); });
  return 0;
}

// libFuzzer target: arbitrary bytes as an exchange document for the
// XLIFF reader, from XLIFF 1.2 seeds. A refusal must say why; an accepted document must import
// into a project with every unit counted once.
#include "FuzzExchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::FuzzExchangeReader(data, size, Exchange::ReadXliff);
}

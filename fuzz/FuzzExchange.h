// What the exchange-document fuzzers share: one reader on arbitrary bytes,
// and, for a document it accepts, an import into the exchange tests' small
// project that must either refuse cleanly or count every unit once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "exchange/ExchangeTestUtil.h"
#include "exchange/Formats.h"

namespace fuzz {

template <typename Reader>
int FuzzExchangeReader(const uint8_t* data, size_t size, Reader read) {
  CExchangeDoc doc;
  CString error;
  if (!read(reinterpret_cast<const char*>(data), size, doc, error)) {
    if (error.IsEmpty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  const auto root = exchange_test::Project();
  ImportCounts counts;
  if (ImportDocument(*root, doc, counts, error) &&
      counts.unknown + counts.empty + counts.applied + counts.stale + counts.unchanged !=
          doc.units.size()) {
    __builtin_trap();
  }
  return 0;
}

}  // namespace fuzz

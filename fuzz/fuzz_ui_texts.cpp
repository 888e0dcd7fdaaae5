// libFuzzer target: arbitrary UI texts (UTF-8) through the scanner of codes,
// the word counter, the checks and pseudo-translation. A pseudo-translation
// must keep every code of its source in order and pass every check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "exchange/Checks.h"
#include "exchange/Pseudo.h"
#include "exchange/Stats.h"
#include "exchange/TextCodes.h"
#include "platform/CString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the expansion; the rest is the text.
  const int expand = data[0] % 101;
  const CString text =
      CString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  const std::u16string_view source = text.view();
  if (source.empty()) return 0;
  static CWordCounter counter(0x0409);
  counter.Count(source);

  const CString pseudo = PseudoTranslate(source, expand);
  std::vector<CTextCode> a, b;
  ScanCodes(source, a);
  ScanCodes(pseudo.view(), b);
  if (a.size() != b.size()) std::abort();
  for (size_t i = 0; i < a.size(); ++i) {
    if (source.substr(a[i].begin, a[i].length) != pseudo.view().substr(b[i].begin, b[i].length)) {
      std::abort();
    }
  }
  std::vector<CTextFinding> found;
  CheckTexts(source, pseudo.view(), true, found);
  if (!found.empty()) std::abort();
  // The text against a cut of itself: any findings, no fault.
  CheckTexts(source, source.substr(source.size() / 2), true, found);
  return 0;
}

// What the exchange-document fuzzers share: one reader on arbitrary bytes,
// and, for a document it accepts, an import into a small project that must
// either refuse cleanly or apply and export again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/PrjConfig.h"
#include "exchange/Formats.h"

namespace fuzz {

// The exchange seeds: a small project's units, written in `format`, with
// every kind of character the writers escape.
inline std::string ExchangeSeed(ExchangeFormat format) {
  CResItem root;
  CPrjLangs langs(0x0409);
  langs.setSelectedLangs({0x0407});
  CPrjConfig::SetPrjLangs(root, langs);
  const char16_t* texts[] = {u"OK", u"a\u0001\r\n\t<&>\"\\n", u"lone \xD800", u"\U0001F600"};
  int n = 0;
  for (const char16_t* text : texts) {
    auto* item = new CResItem();
    item->SetType(6);
    item->SetResId(CString(u"#") + CString(static_cast<char16_t>(u'0' + n++)));
    item->SetComment(u"note");
    for (const int lang : {0x0409, 0x0407}) {
      auto* trans = new CTransItem(lang);
      trans->SetStr(text);
      item->AddTransItem(trans);
    }
    root.AddResItem(item);
  }
  std::string out;
  ExportOptions options;
  options.format = format;
  options.langs = CUnitLangs{0x0409, 0x0407};
  ExportDocument(root, options, [&out](const char* data, size_t size) {
    out.append(data, size);
    return true;
  });
  return out;
}

template <typename Reader>
int FuzzExchangeReader(const uint8_t* data, size_t size, Reader read) {
  CExchangeDoc doc;
  CString error;
  const char* text = reinterpret_cast<const char*>(data);
  if (!read(text, size, doc, error)) {
    if (error.IsEmpty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  CResItem root;
  CPrjLangs langs(0x0409);
  langs.setSelectedLangs({0x0407});
  CPrjConfig::SetPrjLangs(root, langs);
  ImportCounts counts;
  if (ImportDocument(root, doc, counts, error) &&
      counts.unknown + counts.empty + counts.applied + counts.stale + counts.unchanged !=
          doc.units.size()) {
    __builtin_trap();
  }
  return 0;
}

}  // namespace fuzz

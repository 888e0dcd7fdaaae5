// A small translated project for the exchange tests: native English,
// German and Japanese selected, German partly translated.
#pragma once

#include <memory>
#include <string>

#include "config/PrjConfig.h"
#include "exchange/Exchange.h"
#include "items/ResItem.h"

namespace exchange_test {

constexpr int kEn = 0x0409;
constexpr int kDe = 0x0407;
constexpr int kJa = 0x0411;

inline CResItem* Add(CResItem& parent, int type, const char16_t* resId, const char16_t* en,
                     const char16_t* de = nullptr) {
  auto* item = new CResItem();
  item->SetType(type);
  item->SetResId(resId);
  for (const auto& [lang, text] : {std::pair{kEn, en}, std::pair{kDe, de}}) {
    if (text == nullptr) continue;
    auto* trans = new CTransItem(lang);
    trans->SetStr(text);
    item->AddTransItem(trans);
  }
  parent.AddResItem(item);
  return item;
}

inline std::unique_ptr<CResItem> Project() {
  auto root = std::make_unique<CResItem>();
  root->SetType(1);
  CPrjLangs langs(kEn);
  langs.setSelectedLangs({kDe, kJa});
  CPrjConfig::SetPrjLangs(*root, langs);
  CResItem* app = Add(*root, 2, u"@app.exe", nullptr);
  CResItem* dialog = Add(*app, 5, u"#101", u"About", u"Info");
  dialog->SetComment(u"the about box");
  Add(*dialog, 6, u"#1", u"OK", u"OK");
  Add(*dialog, 6, u"#2", u"&Cancel");
  Add(*root, 2, u"@res.dll", nullptr);
  Add(*root->GetResItems()[1], 7, u"#300", u"Save changes?", u"Speichern?");
  return root;
}

inline std::string Export(CResItem& root, ExchangeFormat format, int target = kDe,
                          bool untranslated = false) {
  std::string out;
  ExportOptions options;
  options.format = format;
  options.langs = CUnitLangs{kEn, target};
  options.untranslatedOnly = untranslated;
  ExportDocument(root, options, [&out](const char* data, size_t size) {
    out.append(data, size);
    return true;
  });
  return out;
}

}  // namespace exchange_test

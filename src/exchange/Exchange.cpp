// Choosing a format, the text conversions the formats share, and import:
// the whole document is matched against the project before the first
// change, so a refused document leaves the project as it was.
#include "exchange/Exchange.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "config/PrjConfig.h"
#include "exchange/Formats.h"
#include "items/ItemEvents.h"
#include "items/TransItem.h"

namespace Exchange {

bool DocBuffer::Flush() {
  if (ok_ && !text_.empty()) ok_ = sink_(text_.data(), text_.size());
  text_.clear();
  return ok_;
}

bool AppendUtf16(std::u16string& out, std::string_view utf8) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const unsigned char* end = p + utf8.size();
  const size_t at = out.size();
  out.resize(at + utf8.size());  // never more units than bytes
  char16_t* o = &out[0] + at;
  bool ok = true;
  while (p < end) {
    const unsigned c = *p;
    if (c < 0x80) {
      *o++ = static_cast<char16_t>(c);
      ++p;
      continue;
    }
    int extra;
    unsigned cp;
    unsigned min;
    if ((c & 0xE0) == 0xC0) {
      extra = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
      ok = false;
      break;
    }
    if (end - p <= extra) {
      ok = false;
      break;
    }
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      ok = false;
      break;
    }
    if (cp >= 0x10000) {
      *o++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      *o++ = static_cast<char16_t>(cp);
    }
    p += extra + 1;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return ok;
}

std::string LangValueText(int lang) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(lang));
  return text;
}

std::string CultureText(int lang) { return LangCultureName(lang).ToUtf8(); }

}  // namespace Exchange

std::u16string_view CExchangeDoc::Keep(std::u16string_view text) {
  static constexpr size_t kBlock = size_t{1} << 20;
  if (text.empty()) return {};
  if (capacity_ - used_ < text.size()) {
    const size_t size = std::max(kBlock, text.size());
    blocks_.emplace_back(new char16_t[size]);  // not zeroed: every unit is written before use
    used_ = 0;
    capacity_ = size;
  }
  char16_t* at = blocks_.back().get() + used_;
  std::copy(text.begin(), text.end(), at);
  used_ += text.size();
  return {at, text.size()};
}

bool ParseFormatName(const std::string& name, ExchangeFormat& format) {
  if (name == "xliff") {
    format = ExchangeFormat::kXliff12;
  } else if (name == "xliff2") {
    format = ExchangeFormat::kXliff20;
  } else if (name == "po") {
    format = ExchangeFormat::kPo;
  } else {
    return false;
  }
  return true;
}

bool FormatFromPath(const std::string& path, ExchangeFormat& format) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "xlf" || ext == "xliff") {
    format = ExchangeFormat::kXliff12;
  } else if (ext == "po") {
    format = ExchangeFormat::kPo;
  } else {
    return false;
  }
  return true;
}

bool ExportDocument(CResItem& root, const ExportOptions& options, const ByteSink& sink,
                    size_t* units) {
  Exchange::DocBuffer out(sink);
  size_t count = 0;
  const bool ok = options.format == ExchangeFormat::kPo
                      ? Exchange::WritePo(root, options, out, count)
                      : Exchange::WriteXliff(root, options, out, count);
  if (units != nullptr) *units = count;
  return out.Flush() && ok;
}

bool ReadExchangeDoc(const char* data, size_t size, CExchangeDoc& doc, CString& error) {
  doc = CExchangeDoc();
  if (size > kMaxExchangeDocBytes) {
    error = u"the document is too large";
    return false;
  }
  // An XML document starts with "<", after a byte order mark and blanks; a
  // PO file never does.
  size_t i = 0;
  if (size >= 3 && std::equal(data, data + 3, "\xEF\xBB\xBF")) i = 3;
  while (i < size && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
  const bool xml = i < size && data[i] == '<';
  const bool ok = xml ? Exchange::ReadXliff(data, size, doc, error)
                      : Exchange::ReadPo(data, size, doc, error);
  if (!ok) {
    doc = CExchangeDoc();
    return false;
  }
  return true;
}

int ProjectLang(const CResItem& root, int lang) {
  const CLangSet& selected = CPrjConfig::GetSelectedLangs(root);
  if (selected.count(lang) != 0) return lang;
  for (const int candidate : selected) {
    if (CLangId(candidate).GetRawLng() == CLangId(lang).GetRawLng()) return candidate;
  }
  const short primary = CLangId(lang).GetPrimaryLng();
  if (CLangId(lang).GetRawLng() != primary) return lang;
  int chosen = 0;
  for (const int candidate : selected) {
    if (CLangId(candidate).GetPrimaryLng() != primary) continue;
    if (chosen != 0) return lang;
    chosen = candidate;
  }
  return chosen != 0 ? chosen : lang;
}

namespace {

// The project selects `lang` for translation: a selected language, or the
// native language in another brand (the rule of a project's target).
bool Selects(const CResItem& root, int lang) {
  const int raw = CLangId(lang).GetRawLng();
  for (const int selected : CPrjConfig::GetSelectedLangs(root)) {
    if (CLangId(selected).GetRawLng() == raw) return true;
  }
  const int native = CPrjConfig::GetNative(root);
  return CLangId(native).GetRawLng() == raw && native != lang;
}

struct Pending {
  CResItem* item;
  std::u16string_view target;
};

}  // namespace

bool ImportDocument(CResItem& root, const CExchangeDoc& doc, ImportCounts& counts,
                    CString& error) {
  counts = ImportCounts();
  const int source = doc.sourceLang != 0 ? doc.sourceLang : CPrjConfig::GetNative(root);
  const int target =
      ProjectLang(root, doc.targetLang != 0 ? doc.targetLang : CPrjConfig::GetTarget(root));
  if (source == CLangId::Undefined || target == CLangId::Undefined || source == target) {
    error = u"the document names no usable source and target language";
    return false;
  }
  if (!Selects(root, target)) {
    error = u"the project does not translate into the document's target language " +
            LangCultureName(target);
    return false;
  }
  const size_t n = doc.units.size();
  if (n >= UINT32_MAX) {
    error = u"the document has too many units";
    return false;
  }
  std::vector<char> matched(n, 0);
  std::vector<Pending> changes;
  // Matches the project's units to the document's through `find` (an index,
  // or SIZE_MAX for none), counting and collecting the changes.
  auto match = [&](auto find) {
    ForEachUnit(root, CUnitLangs{source, target}, [&](const CUnit& unit) {
      const size_t index = find(unit.id);
      if (index == SIZE_MAX) return true;
      matched[index] = 1;
      const CExchangeUnit& in = doc.units[index];
      if (in.target.empty()) {
        ++counts.empty;
      } else if (in.source != unit.source) {
        ++counts.stale;
        counts.staleIds.emplace_back(in.id);
      } else if (in.target == unit.target) {
        ++counts.unchanged;
      } else {
        changes.push_back(Pending{unit.item, in.target});
      }
      return true;
    });
  };
  // Documents mostly keep the order of the walk (ours always do): matching
  // along it reads both sequentially. When every unit of the document met
  // its id in that order, the ids are the project's, each once.
  size_t next = 0;
  match([&](std::u16string_view id) {
    return next < n && doc.units[next].id == id ? next++ : SIZE_MAX;
  });
  if (next != n) {
    counts = ImportCounts();
    changes.clear();
    std::fill(matched.begin(), matched.end(), 0);
    // Any order: the document's units by id, in an open-addressing table of
    // indices (a node per unit would cost more than the rest of the import).
    size_t slots = 16;
    while (slots < 2 * n) slots *= 2;
    std::vector<uint32_t> table(slots, 0);  // unit index + 1; 0 is free
    const std::hash<std::u16string_view> hash;
    auto find = [&](std::u16string_view id, bool insert, size_t index) -> size_t {
      for (size_t at = hash(id) & (slots - 1);; at = (at + 1) & (slots - 1)) {
        if (table[at] == 0) {
          if (insert) table[at] = static_cast<uint32_t>(index + 1);
          return SIZE_MAX;
        }
        if (doc.units[table[at] - 1].id == id) return table[at] - 1;
      }
    };
    for (size_t i = 0; i < n; ++i) {
      if (find(doc.units[i].id, true, i) != SIZE_MAX) {
        error = u"the document has the unit id " + CString(doc.units[i].id) + u" twice";
        return false;
      }
    }
    match([&](std::u16string_view id) { return find(id, false, 0); });
    for (size_t i = 0; i < n; ++i) {
      if (matched[i] != 0) continue;
      ++counts.unknown;
      counts.unknownIds.emplace_back(doc.units[i].id);
    }
  }
  if (changes.empty()) return true;
  CItemEventServer& events = CItemEventServer::Instance();
  events.OnMultiOperationBegin();
  for (const Pending& change : changes) {
    CTransItem* trans = change.item->GetTranslation(target);
    if (trans == nullptr) {
      auto created = std::make_unique<CTransItem>(target);
      created->SetStr(CString(change.target));
      change.item->AddTransItem(created.release());
    } else {
      trans->SetStr(CString(change.target));
    }
  }
  events.OnMultiOperationEnd();
  counts.applied = changes.size();
  return true;
}

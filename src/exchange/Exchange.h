// Exchange documents: a project's units written as XLIFF 1.2, XLIFF 2.0 or
// PO for translators' tools, read back whole and checked, and their targets
// put into the project. Writing streams; reading builds a small document
// that import checks completely before it changes anything.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/Units.h"
#include "items/ResItem.h"
#include "platform/CString.h"

enum class ExchangeFormat { kXliff12, kXliff20, kPo };

// "xliff" (1.2), "xliff2", "po".
bool ParseFormatName(const std::string& name, ExchangeFormat& format);
// By the file's extension: ".xlf" and ".xliff" give XLIFF 1.2, ".po" PO
// (any case). False for other extensions.
bool FormatFromPath(const std::string& path, ExchangeFormat& format);

// The language of the project that `lang` names: a language the project
// selects as it is or in another brand, or, for a neutral language ("ja"),
// the one selected language of that primary language. `lang` itself when
// none is (or two neutral candidates are).
int ProjectLang(const CResItem& root, int lang);

struct ExportOptions {
  ExchangeFormat format = ExchangeFormat::kXliff12;
  CUnitLangs langs;
  bool untranslatedOnly = false;  // only units without a target
};

// Receives the document in pieces; returns false to stop (a write failed).
using ByteSink = std::function<bool(const char* data, size_t size)>;

// Writes the document of `root`'s units. `units` gets the number written.
// False when the sink refused bytes. The same project and options always
// give the same bytes.
bool ExportDocument(CResItem& root, const ExportOptions& options, const ByteSink& sink,
                    size_t* units = nullptr);

// One unit as a document carries it back. The views point into the
// document's own storage (or any storage the caller keeps alive).
struct CExchangeUnit {
  std::u16string_view id;
  std::u16string_view source;
  std::u16string_view target;  // empty when the document has none
};

struct CExchangeDoc {
  ExchangeFormat format = ExchangeFormat::kXliff12;
  int sourceLang = 0;  // 0 when the document names none
  int targetLang = 0;
  std::vector<CExchangeUnit> units;

  // A copy of `text` that lives as long as the document (moves included).
  // Texts share large blocks: a million units cost a few allocations.
  std::u16string_view Keep(std::u16string_view text);

 private:
  std::vector<std::unique_ptr<char16_t[]>> blocks_;
  size_t used_ = 0;
  size_t capacity_ = 0;
};

// Documents larger than this are refused unread.
constexpr size_t kMaxExchangeDocBytes = size_t{1} << 30;

// Reads a whole document, telling the format by its content (XML or PO).
// False with a reason in `error` for anything malformed: bad syntax, invalid
// UTF-8, a DOCTYPE (no entities are ever expanded), an unknown language,
// inline codes other than ours, a unit without an id. Duplicate ids are
// ImportDocument's to refuse.
bool ReadExchangeDoc(const char* data, size_t size, CExchangeDoc& doc, CString& error);

struct ImportCounts {
  size_t applied = 0;    // target changed or created
  size_t unchanged = 0;  // target already the project's
  size_t stale = 0;      // the project's source text differs: not applied
  size_t unknown = 0;    // no unit of the project has the id
  size_t empty = 0;      // no target in the document: nothing to do
  std::vector<CString> staleIds;
  std::vector<CString> unknownIds;
};

// Puts the targets of `doc` into the project below `root` through the item
// API (creating translations where absent). Languages: the document's, else
// the project's native and current target; a target is read as ProjectLang.
// Checks first: false with a reason and no change at all when the target
// language is not one the project selects, the document has no usable
// language, or two units share an id.
bool ImportDocument(CResItem& root, const CExchangeDoc& doc, ImportCounts& counts,
                    CString& error);

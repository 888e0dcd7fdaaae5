// Word counts through ICU's word break iterator and the statistics walk.
#include "exchange/Stats.h"

#include <unicode/ubrk.h>
#include <unicode/ustring.h>

#include <map>
#include <string>

#include "exchange/TextCodes.h"
#include "items/TransItem.h"
#include "props/Prop.h"

struct CWordCounter::Impl {
  UBreakIterator* words = nullptr;
  std::u16string buffer;
  std::vector<CTextCode> codes;
};

CWordCounter::CWordCounter(int lang) : impl_(std::make_unique<Impl>()) {
  std::string locale = LangCultureName(lang).ToUtf8();
  if (locale.compare(0, 2, "x-") == 0) locale.clear();  // unknown: root rules
  for (char& c : locale) {
    if (c == '-') c = '_';
  }
  UErrorCode status = U_ZERO_ERROR;
  impl_->words = ubrk_open(UBRK_WORD, locale.c_str(), nullptr, 0, &status);
  if (U_FAILURE(status)) impl_->words = nullptr;
}

CWordCounter::~CWordCounter() {
  if (impl_->words != nullptr) ubrk_close(impl_->words);
}

CTextCount CWordCounter::Count(std::u16string_view text) {
  CTextCount count;
  count.characters = static_cast<uint64_t>(u_countChar32(text.data(), static_cast<int32_t>(text.size())));
  if (impl_->words == nullptr || text.empty()) return count;
  std::vector<CTextCode>& codes = impl_->codes;
  codes.clear();
  ScanCodes(text, codes);
  std::u16string_view words = text;
  if (!codes.empty()) {
    // Codes become a space, so that they neither count nor join the words
    // around them; an accelerator only loses its marker, and an East Asian
    // group "(&F)" goes as a whole.
    std::u16string& buffer = impl_->buffer;
    buffer.clear();
    size_t at = 0;
    for (const CTextCode& code : codes) {
      buffer.append(text, at, code.begin - at);
      at = code.begin + code.length;
      if (code.kind != CodeKind::kAccelerator) {
        buffer += u' ';
      } else if (!buffer.empty() && (buffer.back() == u'(' || buffer.back() == u'\uFF08') &&
                 at < text.size() && (text[at] == u')' || text[at] == u'\uFF09')) {
        buffer.back() = u' ';
        ++at;
      } else {
        buffer.append(text, code.begin + 1, code.length - 1);
      }
    }
    buffer.append(text, at, std::u16string_view::npos);
    words = buffer;
  }
  UErrorCode status = U_ZERO_ERROR;
  ubrk_setText(impl_->words, words.data(), static_cast<int32_t>(words.size()), &status);
  if (U_FAILURE(status)) return count;
  ubrk_first(impl_->words);
  while (ubrk_next(impl_->words) != UBRK_DONE) {
    // Below UBRK_WORD_LETTER: spaces, punctuation, numbers.
    if (ubrk_getRuleStatus(impl_->words) >= UBRK_WORD_LETTER) ++count.words;
  }
  return count;
}

double CStatCounts::PercentTranslated() const {
  if (words != 0) return 100.0 * static_cast<double>(translatedWords) / static_cast<double>(words);
  if (units != 0) return 100.0 * static_cast<double>(translated) / static_cast<double>(units);
  return 100.0;
}

namespace {

bool HasText(const CResItem& item, int lang) {
  const CTransItem* trans = item.GetTranslation(lang);
  if (trans == nullptr) return false;
  const auto* text = dynamic_cast<const CStrProp*>(trans->GetPropW(CPropName::TransText));
  return text != nullptr && !text->value.IsEmpty();
}

void Add(CStatCounts& counts, const CTextCount& text, bool translated) {
  ++counts.units;
  counts.words += text.words;
  counts.characters += text.characters;
  if (translated) {
    ++counts.translated;
    counts.translatedWords += text.words;
    counts.translatedCharacters += text.characters;
  }
}

}  // namespace

std::vector<CLangStats> CollectStats(CResItem& root, const std::vector<CUnitLangs>& langs,
                                     bool byFile) {
  std::vector<CLangStats> result(langs.size());
  std::map<int, std::vector<size_t>> bySource;
  for (size_t i = 0; i < langs.size(); ++i) {
    result[i].langs = langs[i];
    bySource[langs[i].source].push_back(i);
  }
  for (const auto& group : bySource) {
    const int source = group.first;
    const std::vector<size_t>& members = group.second;
    CWordCounter counter(source);
    const CResItem* file = nullptr;
    ForEachUnit(root, CUnitLangs{source, langs[members.front()].target}, [&](const CUnit& u) {
      const CTextCount count = counter.Count(u.source);
      const bool newFile = byFile && u.file != file;
      file = u.file;
      for (const size_t i : members) {
        CLangStats& stats = result[i];
        const bool translated = HasText(*u.item, langs[i].target);
        Add(stats.total, count, translated);
        if (newFile) stats.files.push_back(CFileStats{CString(u.fileId), {}});
        if (byFile) Add(stats.files.back().counts, count, translated);
      }
      return true;
    });
  }
  return result;
}

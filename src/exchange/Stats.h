// Translation statistics: per target language (and per project file) how
// many units, source words and characters are translated and how many are
// left. Words come from ICU's word break rules, so Japanese and Chinese are
// counted by dictionary words, and numbers and punctuation are not words.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "exchange/Units.h"
#include "platform/CString.h"

// Words and characters of one source text. Words: ICU word segments of
// letters, kana or ideographs, after placeholders, escapes and control
// characters are taken out and accelerator markers dropped ("&File" is one
// word). Characters: code points of the whole text.
struct CTextCount {
  uint64_t words = 0;
  uint64_t characters = 0;
};

// Counts texts with one ICU word break iterator; reuse it for many texts.
class CWordCounter {
 public:
  // `lang` picks the break rules' locale (the source language).
  explicit CWordCounter(int lang);
  ~CWordCounter();
  CWordCounter(const CWordCounter&) = delete;
  CWordCounter& operator=(const CWordCounter&) = delete;

  CTextCount Count(std::u16string_view text);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

struct CStatCounts {
  uint64_t units = 0;
  uint64_t translated = 0;
  uint64_t words = 0;
  uint64_t translatedWords = 0;
  uint64_t characters = 0;
  uint64_t translatedCharacters = 0;

  // Translated words in percent of all words; by units when no unit has a
  // word, and 100 when there is nothing to translate.
  double PercentTranslated() const;
};

struct CFileStats {
  CString id;  // the project file's unit id, "." for the root's own unit
  CStatCounts counts;
};

struct CLangStats {
  CUnitLangs langs;
  CStatCounts total;
  std::vector<CFileStats> files;  // with `byFile` only, in walk order
};

// Counts the units of the tree below `root` for each pair of languages, in
// the order given. A unit is translated when its target has a text. One walk
// per distinct source language; each source text is counted once.
std::vector<CLangStats> CollectStats(CResItem& root, const std::vector<CUnitLangs>& langs,
                                     bool byFile);

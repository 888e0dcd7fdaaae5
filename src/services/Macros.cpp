// Macro expansion and the merge of macro maps. The expansion repeats whole
// passes so that a macro's value may itself hold macros.
#include "services/Macros.h"

#include <string_view>

namespace {

// How far an expansion may grow beyond its input, in UTF-16 units. Patterns
// expand to file, folder and column names, nowhere near this; a value that
// holds its own key more than once doubles the text with every pass, and
// would exhaust memory long before the pass bound is reached.
constexpr size_t kMaxGrowth = size_t{1} << 20;

// Occurrences of `key` in `text`, as Replace counts them (non-overlapping).
size_t Occurrences(std::u16string_view text, std::u16string_view key) {
  size_t count = 0;
  for (size_t at = text.find(key); at != std::u16string_view::npos;
       at = text.find(key, at + key.size())) {
    ++count;
  }
  return count;
}

}  // namespace

CString MacrosUtil::ApplyMacrosMap(const CString& text, const MacrosMap& macros) {
  CString result(text);
  // A terminating map needs at most one replacing pass per entry to resolve
  // a chain of keys, and about one per unit of text when replacements shrink
  // or shuffle it ("ab" -> "b" on "aaab" takes three). This bound allows all
  // of that twice over; only a map that reintroduces a key reaches it.
  size_t units = static_cast<size_t>(text.GetLength());
  for (const auto& entry : macros) units += static_cast<size_t>(entry.second.GetLength());
  const size_t maxPasses = 16 + 2 * (macros.size() + units);
  const size_t maxLength = static_cast<size_t>(text.GetLength()) + kMaxGrowth;
  for (size_t pass = 0; pass < maxPasses; ++pass) {
    int replaced = 0;
    for (const auto& [key, value] : macros) {
      const std::u16string_view k(key.GetString()), v(value.GetString());  // as Replace sees them
      if (v.size() > k.size() && !k.empty()) {
        const size_t grown = Occurrences(result.view(), k) * (v.size() - k.size());
        if (grown > maxLength - static_cast<size_t>(result.GetLength())) return result;
      }
      replaced += result.Replace(key, value);
    }
    if (replaced == 0) break;
  }
  return result;
}

MacrosUtil::MacrosMap MacrosUtil::Merge(const MacrosMap& base, const MacrosMap& overrides) {
  MacrosMap merged(base);
  for (const auto& [key, value] : overrides) merged[key] = value;
  return merged;
}

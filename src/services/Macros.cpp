// Macro expansion and the merge of macro maps. The expansion repeats whole
// passes so that a macro's value may itself hold macros.
#include "services/Macros.h"

CString MacrosUtil::ApplyMacrosMap(const CString& text, const MacrosMap& macros) {
  CString result(text);
  // Without a cycle every replacing pass resolves at least one more level of
  // the chain of keys, and a chain has at most one level per entry; more
  // passes than that only mean a cycle, which would otherwise never end.
  for (size_t pass = 0; pass < macros.size(); ++pass) {
    int replaced = 0;
    for (const auto& [key, value] : macros) replaced += result.Replace(key, value);
    if (replaced == 0) break;
  }
  return result;
}

MacrosUtil::MacrosMap MacrosUtil::Merge(const MacrosMap& base, const MacrosMap& overrides) {
  MacrosMap merged(base);
  for (const auto& [key, value] : overrides) merged[key] = value;
  return merged;
}

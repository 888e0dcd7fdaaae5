// Macro expansion for language-dependent setting values: patterns such as
// "$(OutputDir)\$(CultureName)" expanded with a map of macro texts, and the
// merge of such maps. The language map supplies the language macros.
#pragma once

#include <map>

#include "platform/CString.h"

// Static members only. A macro map goes from the complete macro text as it
// appears in patterns, "$(" and ")" included, to its replacement.
class MacrosUtil {
 public:
  using MacrosMap = std::map<CString, CString>;

  MacrosUtil() = delete;

  // `text` with every key replaced by its value: passes in key order, each
  // replacing every occurrence of each key (case-sensitive, left to right,
  // non-overlapping), until a pass replaces nothing. Values may contain
  // macros of the map; text that matches no key stays. REQUIRES: no value
  // reintroduces a key, directly or through other keys; such a map never
  // reaches a pass without replacements, and its expansion stops after a
  // number of passes that grows with the map and the text, or before a
  // replacement would grow the text by more than 2^20 units.
  static CString ApplyMacrosMap(const CString& text, const MacrosMap& macros);

  // `base` with every entry of `overrides` added or replaced.
  static MacrosMap Merge(const MacrosMap& base, const MacrosMap& overrides);
};

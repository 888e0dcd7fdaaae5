// Knuth-Morris-Pratt substring search over UTF-16 code units, with an optional
// whole-word rule, for the tool's find and replace over many texts: the table
// is built once per pattern and reused for every text.
#pragma once

#include <vector>

#include "platform/CString.h"

// Static members only.
class KMP {
 public:
  KMP() = delete;

  // The failure table of `pattern`: pattern length + 1 entries, the first -1.
  static std::vector<int> BuildTable(const CString& pattern);

  // Position of the first match of `pattern` in `text` at or after `start`
  // (a negative start counts as 0), or -1. Case-sensitive; callers lower-case
  // both texts for a search that is not. With `wholeWord` a match counts only
  // when each neighbour is absent, punctuation or white space (ICU). An empty
  // pattern, or a table of the wrong size, finds nothing.
  // REQUIRES: table == BuildTable(pattern).
  static int FindPos(const CString& text, const CString& pattern, const std::vector<int>& table,
                     int start, bool wholeWord);
};

// KMP: the failure table and the search. The table keeps Knuth's refinement
// (skip a fall-back to the same character) for every entry but the last,
// which must stay the plain border so that overlapping matches are found
// after a match the whole-word rule rejects.
#include "text/KMP.h"

#include <unicode/uchar.h>

namespace {

bool IsWordBoundary(char16_t c) { return u_ispunct(c) || u_isWhitespace(c); }

}  // namespace

std::vector<int> KMP::BuildTable(const CString& pattern) {
  // p[n] is the terminating zero, which ends the table with the plain border
  // (unless the pattern itself holds a zero).
  const char16_t* p = pattern.GetString();
  const int n = pattern.GetLength();
  std::vector<int> table(static_cast<size_t>(n) + 1);
  int* next = table.data();
  next[0] = -1;
  int i = 0;
  int k = -1;
  while (i < n) {
    while (k > -1 && p[k] != p[i]) k = next[k];
    ++k;
    ++i;
    next[i] = p[i] == p[k] ? next[k] : k;
  }
  return table;
}

int KMP::FindPos(const CString& text, const CString& pattern, const std::vector<int>& table,
                 int start, bool wholeWord) {
  const char16_t* t = text.GetString();
  const char16_t* p = pattern.GetString();
  const int n = text.GetLength();
  const int m = pattern.GetLength();
  if (m == 0 || table.size() != static_cast<size_t>(m) + 1) return -1;
  if (start < 0) start = 0;
  if (m > n || start >= n) return -1;
  const int* fail = table.data();
  int i = start;
  int j = 0;
  for (;;) {
    while (j > -1 && p[j] != t[i]) j = fail[j];
    ++i;
    ++j;
    if (j < m) {
      if (i >= n) return -1;
      continue;
    }
    const int pos = i - j;
    if (!wholeWord) return pos;
    const bool startsWord = pos == 0 || IsWordBoundary(t[pos - 1]);
    const bool endsWord = i >= n || IsWordBoundary(t[i]);
    if (startsWord && endsWord) return pos;
    j = fail[j];
    if (i >= n) return -1;
  }
}

// Case mapping one UTF-16 code unit at a time through ICU's simple mappings,
// so a text keeps its length and every index into it stays valid.
#pragma once

#include "platform/CString.h"

// Static members only.
class CStrUtil {
 public:
  CStrUtil() = delete;

  // Lower-cases every code unit of `s` when `index` is -1, otherwise only the
  // code unit at `index`. Another index outside the text changes nothing.
  // Surrogate halves and units whose mapping leaves the BMP stay as they are.
  static void MakeLower(CString& s, int index);
  // The same, upper-casing.
  static void MakeUpper(CString& s, int index);
};

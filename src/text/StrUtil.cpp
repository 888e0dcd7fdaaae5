// CStrUtil: per-code-unit case mapping. Unlike CString::MakeLower, which maps
// code points, this never changes a surrogate, matching how texts were
// compared when the project was made.
#include "text/StrUtil.h"

#include <unicode/uchar.h>

namespace {

template <UChar32 (*Map)(UChar32)>
char16_t MapUnit(char16_t c) {
  const UChar32 mapped = Map(c);
  // A BMP character never maps outside the BMP today; keep the unit if one did.
  return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : c;
}

template <UChar32 (*Map)(UChar32)>
void MapUnits(CString& s, int index) {
  const int length = s.GetLength();
  if (index == -1) {
    for (int i = 0; i < length; ++i) s.SetAt(i, MapUnit<Map>(s.GetAt(i)));
  } else if (index >= 0 && index < length) {
    s.SetAt(index, MapUnit<Map>(s.GetAt(index)));
  }
}

}  // namespace

void CStrUtil::MakeLower(CString& s, int index) { MapUnits<u_tolower>(s, index); }

void CStrUtil::MakeUpper(CString& s, int index) { MapUnits<u_toupper>(s, index); }

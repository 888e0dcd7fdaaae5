// The integer-to-string map and its property class.
#include "lang/IntStrMap.h"

bool CIntStrMap::Do(Serial::ISerialStream& s) {
  Serial::DefaultSerialStrategy<int> key;
  Serial::DefaultSerialStrategy<CString> text;
  Serial::PairSerialStrategy<int, CString> pair(key, text);
  return Serial::MapSerialStrategy<CIntStrMap>(pair).Do(s, *this);
}

ITEMLIB_REGISTER_PROP(CIntStrMapProp, u"IntStrMapProp");

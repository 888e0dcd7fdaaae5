// A map from integers to strings (the project's brand names) and the
// property class that stores one on an item.
#pragma once

#include <map>

#include "platform/CString.h"
#include "props/Prop.h"

class CIntStrMap : public std::map<int, CString> {
 public:
  using std::map<int, CString>::map;
  // Pairs of a 4-byte key and a string field, in key order.
  bool Do(Serial::ISerialStream& s);
};

ITEMLIB_VALUE_PROP(CIntStrMapProp, CIntStrMap);

// A vector that serialises itself as a container (a count, then one anonymous
// node per element). The list-valued settings (database tables, their fields,
// control mappings) share it so that their serial form is written once.
#pragma once

#include <vector>

#include "platform/CString.h"
#include "serial/SerialStrategies.h"

// Elements are serialised by their own Do(). Comparison is the vector's.
template <typename T>
class CSerialVector : public std::vector<T> {
 public:
  using std::vector<T>::vector;

  // The container strategy's result: false at the first element that fails.
  bool Do(Serial::ISerialStream& s) {
    Serial::DefaultSerialStrategy<T> element;
    return Serial::STLContainerSerialStrategy<std::vector<T>, T>(element).Do(s, *this);
  }

  // "{a, b}" from `text(element)` of each element in order: how a listing of
  // changed settings shows a list-valued setting.
  template <typename F>
  CString BracedText(F text) const {
    CString braced(u"{");
    for (auto element = this->begin(); element != this->end(); ++element) {
      if (element != this->begin()) braced += u", ";
      braced += text(*element);
    }
    braced += u"}";
    return braced;
  }
};

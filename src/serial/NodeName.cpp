// Node names as values of a serial stream (the class names of polymorphic
// objects are stored this way).
#include "serial/NodeName.h"

#include "serial/SerialDo.h"

namespace Serial {

const unsigned int NodeName::MAX_NODE_NAME_LEN = 200;

bool NodeName::Do(ISerialStream& s) {
  unsigned char type = type_;
  if (!Serial::Do(s, type)) return false;
  if (s.IsReading()) {
    if (type > BYTE) return false;
    type_ = static_cast<Type>(type);
  }
  switch (type_) {
    case BYTE:
      return Serial::Do(s, byte_);
    case STRING:
      return Serial::Do(s, str_);
    case NONE:
      break;
  }
  return true;
}

}  // namespace Serial

// The label of a serial node: none (anonymous), a string of at most
// MAX_NODE_NAME_LEN UTF-16 code units, or a single byte.
#pragma once

#include "platform/CString.h"

namespace Serial {

class ISerialStream;

class NodeName {
 public:
  // The stored type byte of an encoded name.
  enum Type : unsigned char { NONE = 0, STRING = 1, BYTE = 2 };

  // The longest string name, in code units, that a reader accepts.
  static const unsigned int MAX_NODE_NAME_LEN;

  NodeName() : type_(NONE), byte_(0) {}
  NodeName(const char16_t* name) : type_(STRING), str_(name), byte_(0) {}  // NOLINT
  explicit NodeName(const CString& name) : type_(STRING), str_(name), byte_(0) {}
  NodeName(unsigned char byte) : type_(BYTE), byte_(byte) {}  // NOLINT

  Type GetType() const { return type_; }
  const CString& GetStrValue() const { return str_; }
  unsigned char GetByteValue() const { return byte_; }

  // Writes or reads the name as fields: the type, then the byte or the
  // string. Returns false as soon as a part does not fit (an unknown type
  // read included); the name is then unchanged or partly read.
  bool Do(ISerialStream& s);

  friend bool operator==(const NodeName& a, const NodeName& b) {
    if (a.type_ != b.type_) return false;
    if (a.type_ == BYTE) return a.byte_ == b.byte_;
    if (a.type_ == STRING) return a.str_ == b.str_;
    return true;
  }
  friend bool operator!=(const NodeName& a, const NodeName& b) { return !(a == b); }
  // Type first, then byte value or ordinal string order; anonymous names are
  // all equivalent.
  friend bool operator<(const NodeName& a, const NodeName& b) {
    if (a.type_ != b.type_) return a.type_ < b.type_;
    if (a.type_ == BYTE) return a.byte_ < b.byte_;
    if (a.type_ == STRING) return a.str_ < b.str_;
    return false;
  }

 private:
  Type type_;
  CString str_;
  unsigned char byte_;
};

// The name of the node that holds a stream's body.
inline constexpr const char16_t ROOT_NODE_NAME[] = u"Root";

}  // namespace Serial

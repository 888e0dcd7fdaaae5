// The sequential binary reader. Every structural mismatch throws FormatIO;
// node names are compared in place so that entering a node allocates nothing.
#include "serial/BinarySerialIn.h"

#include <cstring>

#include "serial/BinaryFormat.h"

namespace Serial {
namespace Binary {

BinarySerialIn::BinarySerialIn(IStreamIn& in)
    : reader_(new ByteReader(in)), depth_(0), version_(UNDEFINED_SCHEME_VERSION), field_(16) {
  if (!version_.Do(*this)) throw Exceptions::FormatIO();
  EnterNode(NodeName(ROOT_NODE_NAME));
}

BinarySerialIn::~BinarySerialIn() = default;

unsigned char BinarySerialIn::NextByte() {
  unsigned char byte = 0;
  if (!reader_->ReadByte(byte)) throw Exceptions::FormatIO();
  return byte;
}

bool BinarySerialIn::EnterNode(const NodeName& name) {
  if (name.GetType() == NodeName::STRING) {
    // String names ("Key", "Lng", "St" of every translation) compared in
    // place when the window holds them whole.
    const CString& expected = name.GetStrValue();
    const size_t units = static_cast<size_t>(expected.GetLength());
    if (units <= NodeName::MAX_NODE_NAME_LEN && reader_->Available() >= 3 + units * 2) {
      const unsigned char* p = reader_->Peek();
      if (p[0] != NODE_START || p[1] != NodeName::STRING || p[2] != units ||
          std::memcmp(p + 3, expected.GetString(), units * 2) != 0) {
        throw Exceptions::FormatIO();
      }
      reader_->Skip(3 + units * 2);
      ++depth_;
      return true;
    }
  } else if (reader_->Available() >= 3) {
    // Anonymous and byte names, the bulk of every stream: checked in place.
    const unsigned char* p = reader_->Peek();
    if (p[0] != NODE_START || p[1] != name.GetType()) throw Exceptions::FormatIO();
    if (name.GetType() == NodeName::BYTE) {
      if (p[2] != name.GetByteValue()) throw Exceptions::FormatIO();
      reader_->Skip(3);
    } else {
      reader_->Skip(2);
    }
    ++depth_;
    return true;
  }
  if (NextByte() != NODE_START) throw Exceptions::FormatIO();
  const unsigned char type = NextByte();
  if (type != name.GetType()) throw Exceptions::FormatIO();
  switch (name.GetType()) {
    case NodeName::NONE:
      break;
    case NodeName::BYTE:
      if (NextByte() != name.GetByteValue()) throw Exceptions::FormatIO();
      break;
    case NodeName::STRING: {
      const unsigned int length = NextByte();
      const CString& expected = name.GetStrValue();
      if (length > NodeName::MAX_NODE_NAME_LEN ||
          length != static_cast<unsigned int>(expected.GetLength())) {
        throw Exceptions::FormatIO();
      }
      char16_t text[256];
      if (!reader_->ReadExact(text, length * 2u) ||
          std::memcmp(text, expected.GetString(), length * 2u) != 0) {
        throw Exceptions::FormatIO();
      }
      break;
    }
  }
  ++depth_;
  return true;
}

void BinarySerialIn::LeaveNode() {
  if (NextByte() != NODE_END || depth_ == 0) throw Exceptions::FormatIO();
  --depth_;
}

const void* BinarySerialIn::ReadField(unsigned int& size) {
  reader_->Unpin();  // the previous field's bytes may go now
  if (reader_->Available() >= 5) {
    const unsigned char* p = reader_->Peek();
    if (p[0] != FIELD) throw Exceptions::FormatIO();
    std::memcpy(&size, p + 1, 4);
    reader_->Skip(5);
  } else if (NextByte() != FIELD || !reader_->ReadU32(size)) {
    throw Exceptions::FormatIO();
  }
  // Most fields lie wholly in the read-ahead: no copy then.
  if (const unsigned char* bytes = reader_->View(size)) return bytes;
  if (!reader_->ReadInto(field_, size)) throw Exceptions::FormatIO();
  return field_.data();
}

}  // namespace Binary
}  // namespace Serial

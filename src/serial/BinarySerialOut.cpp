// The binary writer. It collects bytes in a block-sized buffer because the
// format is made of many tiny pieces and every stream call has a cost (a
// gzwrite per marker byte would dominate a save).
#include "serial/BinarySerialOut.h"

#include <cstdint>
#include <cstring>

#include "serial/BinaryFormat.h"

namespace Serial {
namespace Binary {

BinarySerialOut::BinarySerialOut(IStreamOut& out, VersionInfo version)
    : out_(out), version_(version), buffer_(new unsigned char[kBufferSize]), used_(0) {
  if (version_ == UNDEFINED_SCHEME_VERSION) version_ = VersionInfo::FromString(u"6.0.5865");
  version_.Do(*this);
  EnterNode(NodeName(ROOT_NODE_NAME));
}

BinarySerialOut::~BinarySerialOut() {
  LeaveNode();
  Flush();
}

unsigned char* BinarySerialOut::Drain(unsigned char* at) {
  used_ = static_cast<size_t>(at - buffer_.get());
  Flush();
  return buffer_.get();
}

unsigned char* BinarySerialOut::EnterAt(unsigned char* at, const NodeName& name) {
  used_ = static_cast<size_t>(at - buffer_.get());
  EnterNode(name);
  return buffer_.get() + used_;
}

unsigned char* BinarySerialOut::WriteAt(unsigned char* at, unsigned int size, const void* data) {
  used_ = static_cast<size_t>(at - buffer_.get());
  WriteField(size, data);
  return buffer_.get() + used_;
}

bool BinarySerialOut::Flush() {
  if (used_ != 0) Hand(buffer_.get(), used_);
  used_ = 0;
  return !lost_;
}

void BinarySerialOut::Hand(const void* data, size_t size) {
  if (out_.write(data, static_cast<unsigned int>(size)) != size) lost_ = true;
}

void BinarySerialOut::Put(const void* data, size_t size) {
  if (used_ + size > kBufferSize) {
    Flush();
    if (size >= kBufferSize) {
      Hand(data, size);
      return;
    }
  }
  CopyBytes(&buffer_[used_], data, size);
  used_ += size;
}

void BinarySerialOut::LeaveNode() {
  // The most frequent call of all: one byte straight into the buffer.
  if (used_ == kBufferSize) Flush();
  buffer_[used_++] = NODE_END;
}

bool BinarySerialOut::EnterNode(const NodeName& name) {
  if (name.GetType() != NodeName::STRING && used_ + 3 <= kBufferSize) {
    // Anonymous and byte names: two or three bytes written in place.
    unsigned char* p = &buffer_[used_];
    p[0] = NODE_START;
    p[1] = static_cast<unsigned char>(name.GetType());
    p[2] = name.GetByteValue();
    used_ += name.GetType() == NodeName::NONE ? 2 : 3;
    return true;
  }
  unsigned char head[4] = {NODE_START, static_cast<unsigned char>(name.GetType()), 0, 0};
  switch (name.GetType()) {
    case NodeName::NONE:
      Put(head, 2);
      break;
    case NodeName::BYTE:
      head[2] = name.GetByteValue();
      Put(head, 3);
      break;
    case NodeName::STRING: {
      // Only the low 8 bits of an overlong length fit; that many code units
      // follow, so the stream stays well-formed.
      const unsigned char length = static_cast<unsigned char>(name.GetStrValue().GetLength());
      head[2] = length;
      if (used_ + 3 + length * 2u <= kBufferSize) {
        unsigned char* p = &buffer_[used_];
        std::memcpy(p, head, 3);
        CopyBytes(p + 3, name.GetStrValue().GetString(), length * 2u);
        used_ += 3 + length * 2u;
        break;
      }
      Put(head, 3);
      Put(name.GetStrValue().GetString(), length * 2u);
      break;
    }
  }
  return true;
}

void BinarySerialOut::WriteField(unsigned int size, const void* data) {
  if (used_ + 5 + size <= kBufferSize) {
    unsigned char* p = &buffer_[used_];
    p[0] = FIELD;
    std::memcpy(p + 1, &size, 4);
    CopyBytes(p + 5, data, size);
    used_ += 5 + size;
    return;
  }
  unsigned char head[5] = {FIELD};
  std::memcpy(head + 1, &size, 4);
  Put(head, 5);
  if (size != 0) Put(data, size);
}

}  // namespace Binary
}  // namespace Serial

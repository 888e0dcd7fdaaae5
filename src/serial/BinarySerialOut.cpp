// The binary writer. It collects bytes in a block-sized buffer because the
// format is made of many tiny pieces and every stream call has a cost (a
// gzwrite per marker byte would dominate a save). A memory stream lends its
// own memory instead, which spares copying every block into it.
#include "serial/BinarySerialOut.h"

#include <cstdint>
#include <cstring>
#include <typeinfo>

#include "serial/BinaryFormat.h"

namespace Serial {
namespace Binary {

BinarySerialOut::BinarySerialOut(IStreamOut& out, VersionInfo version)
    : out_(out), version_(version) {
  if (version_ == UNDEFINED_SCHEME_VERSION) version_ = VersionInfo::FromString(u"6.0.5865");
  // Exactly that class: a derived one may want its bytes through write().
  if (typeid(out) == typeid(MemoryStreamOut)) {
    memory_ = static_cast<MemoryStreamOut*>(&out);
    base_ = memory_->Lend(kBufferSize, end_);
    if (!base_) memory_ = nullptr;  // another writer is busy there: its write() says so
  }
  if (!memory_) {
    buffer_.reset(new unsigned char[kBufferSize]);
    base_ = buffer_.get();
    end_ = base_ + kBufferSize;
  }
  at_ = base_;
  version_.Do(*this);
  EnterNode(NodeName(ROOT_NODE_NAME));
}

BinarySerialOut::~BinarySerialOut() {
  LeaveNode();
  Flush();
  if (memory_) memory_->Return();
}

unsigned char* BinarySerialOut::Drain(unsigned char* at, size_t least) {
  at_ = at;
  if (!memory_) {
    Flush();
    return at_;
  }
  memory_->Keep(at);
  memory_->Return();
  base_ = at_ = memory_->Lend(least, end_);
  return at_;
}

unsigned char* BinarySerialOut::EnterAt(unsigned char* at, const NodeName& name) {
  at_ = at;
  EnterNode(name);
  return at_;
}

unsigned char* BinarySerialOut::WriteAt(unsigned char* at, unsigned int size, const void* data) {
  at_ = at;
  WriteField(size, data);
  return at_;
}

bool BinarySerialOut::Flush() {
  if (memory_) {
    memory_->Keep(at_);
    base_ = at_;
  } else {
    if (at_ != base_) Hand(base_, static_cast<size_t>(at_ - base_));
    at_ = base_;
  }
  return !lost_;
}

void BinarySerialOut::Hand(const void* data, size_t size) {
  if (out_.write(data, static_cast<unsigned int>(size)) != size) lost_ = true;
}

void BinarySerialOut::Put(const void* data, size_t size) {
  if (static_cast<size_t>(end_ - at_) < size) {
    if (memory_) {
      Drain(at_, size);
    } else {
      Flush();
      if (size >= kBufferSize) {
        Hand(data, size);
        return;
      }
    }
  }
  CopyBytes(at_, data, size);
  at_ += size;
}

void BinarySerialOut::LeaveNode() {
  // The most frequent call of all: one byte straight into the room.
  if (at_ == end_) Drain(at_);
  *at_++ = NODE_END;
}

bool BinarySerialOut::EnterNode(const NodeName& name) {
  const size_t room = static_cast<size_t>(end_ - at_);
  if (name.GetType() != NodeName::STRING && room >= 3) {
    // Anonymous and byte names: two or three bytes written in place.
    unsigned char* p = at_;
    p[0] = NODE_START;
    p[1] = static_cast<unsigned char>(name.GetType());
    p[2] = name.GetByteValue();
    at_ += name.GetType() == NodeName::NONE ? 2 : 3;
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
      if (room >= 3 + length * 2u) {
        std::memcpy(at_, head, 3);
        CopyBytes(at_ + 3, name.GetStrValue().GetString(), length * 2u);
        at_ += 3 + length * 2u;
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
  if (static_cast<size_t>(end_ - at_) >= 5 + size_t{size}) {
    unsigned char* p = at_;
    p[0] = FIELD;
    std::memcpy(p + 1, &size, 4);
    CopyBytes(p + 5, data, size);
    at_ += 5 + size_t{size};
    return;
  }
  unsigned char head[5] = {FIELD};
  std::memcpy(head + 1, &size, 4);
  Put(head, 5);
  if (size != 0) Put(data, size);
}

}  // namespace Binary
}  // namespace Serial

// The binary writer. It collects bytes in a block-sized buffer because the
// format is made of many tiny pieces and every stream call has a cost (a
// gzwrite per marker byte would dominate a save). A memory stream lends its
// own memory instead, which spares copying every block into it.
#include "serial/BinarySerialOut.h"

#include <cstdint>
#include <cstring>
#include <typeinfo>

#include "serial/BinaryFormat.h"
#include "serial/BinaryPaths.h"

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

// The node and field bytes are laid out once, by the path; the writer's own
// calls take a path for the one step.
void BinarySerialOut::LeaveNode() { BinaryOutPath(*this).Leave(); }

bool BinarySerialOut::EnterNode(const NodeName& name) { return BinaryOutPath(*this).Enter(name); }

void BinarySerialOut::WriteField(unsigned int size, const void* data) {
  if (size <= kBufferSize - 5) {
    BinaryOutPath(*this).Write(size, data);
    return;
  }
  // Larger than a block: the bytes go on from where they are.
  unsigned char head[5] = {FIELD};
  std::memcpy(head + 1, &size, 4);
  Put(head, 5);
  Put(data, size);
}

}  // namespace Binary
}  // namespace Serial

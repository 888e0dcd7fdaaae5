// The binary writer's and reader's own paths: a layout template run on them
// writes straight into the writer's buffer and decodes straight from the
// reader's window, with no virtual call per node or field. WithPath picks
// the path for a stream.
#pragma once

#include <cstdint>
#include <cstring>
#include <typeinfo>

#include "serial/BinaryFormat.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/SerialPath.h"

namespace Serial {
namespace Binary {

// The calls of BinarySerialOut, inline, on a cursor into the writer's
// buffer that the path holds: a path made by Local() in a function keeps it
// in registers there, where a cursor behind a reference would be reloaded
// after every byte stored (a byte store may alias anything). Any step the
// room cannot take whole (a flush, a huge field, a value of a class the
// layout does not know) goes through the writer's members.
class BinaryOutPath {
 public:
  explicit BinaryOutPath(BinarySerialOut& out)
      : out_(out), home_(nullptr), end_(out.end_), at_(out.at_) {}
  // Hands the cursor back: to the path Local() was called on, or to the
  // writer (which knows its room's end already).
  ~BinaryOutPath() {
    if (home_) {
      home_->end_ = end_;
      home_->at_ = at_;
    } else {
      out_.at_ = at_;
    }
  }
  BinaryOutPath(const BinaryOutPath&) = delete;
  BinaryOutPath& operator=(const BinaryOutPath&) = delete;

  // A path on this one's cursor for the caller's scope; this one must not
  // be used until it is gone.
  BinaryOutPath Local() { return BinaryOutPath(*this, 0); }

  static constexpr bool IsReading() { return false; }
  bool Enter() {
    unsigned char* p = Room(2);
    p[0] = NODE_START;
    p[1] = NodeName::NONE;
    at_ = p + 2;
    return true;
  }
  bool Enter(unsigned char byte) {
    unsigned char* p = Room(3);
    p[0] = NODE_START;
    p[1] = NodeName::BYTE;
    p[2] = byte;
    at_ = p + 3;
    return true;
  }
  bool Enter(const NodeName& name) {
    if (name.GetType() == NodeName::NONE) return Enter();
    if (name.GetType() == NodeName::BYTE) return Enter(name.GetByteValue());
    // Only the low 8 bits of an overlong length fit; that many code units
    // follow, so the stream stays well-formed.
    const size_t units = static_cast<unsigned char>(name.GetStrValue().GetLength());
    unsigned char* p = Room(3 + units * 2);
    p[0] = NODE_START;
    p[1] = NodeName::STRING;
    p[2] = static_cast<unsigned char>(units);
    CopyBytes(p + 3, name.GetStrValue().GetString(), units * 2);
    at_ = p + 3 + units * 2;
    return true;
  }
  void Leave() {
    unsigned char* p = Room(1);
    *p = NODE_END;
    at_ = p + 1;
  }
  void Write(unsigned int size, const void* data) {
    if (size > BinarySerialOut::kBufferSize - 5) {
      at_ = out_.WriteAt(at_, size, data);
      end_ = out_.end_;
      return;
    }
    unsigned char* p = Room(5 + size);
    p[0] = FIELD;
    std::memcpy(p + 1, &size, 4);
    CopyBytes(p + 5, data, size);
    at_ = p + 5 + size;
  }
  // A writer reads nothing; layouts name both directions in one body.
  const void* Read(unsigned int& /*size*/) { return nullptr; }
  template <unsigned int N>
  bool Fixed(void* data) {
    static_assert(N <= 16, "a short field");
    unsigned char* p = Room(5 + N);
    const uint32_t size = N;
    p[0] = FIELD;
    std::memcpy(p + 1, &size, 4);
    std::memcpy(p + 5, data, N);
    at_ = p + 5 + N;
    return true;
  }
  // Runs `call` on the writer as an ISerialStream, the cursor handed over
  // and taken back around it.
  template <typename Call>
  bool Generic(Call&& call) {
    out_.at_ = at_;
    const bool ok = call(static_cast<ISerialStream&>(out_));
    at_ = out_.at_;
    end_ = out_.end_;
    return ok;
  }

 private:
  BinaryOutPath(BinaryOutPath& outer, int /*local*/)
      : out_(outer.out_), home_(&outer), end_(outer.end_), at_(outer.at_) {}

  // Space for `n` bytes, n at most the buffer's size.
  unsigned char* Room(size_t n) {
    if (static_cast<size_t>(end_ - at_) < n) {
      at_ = out_.Drain(at_);
      end_ = out_.end_;
    }
    return at_;
  }

  // The room last and apart from the other members: a local path copies it
  // right after the outer one stored it, and a wider load spanning it and
  // another member would wait for that store to retire.
  BinarySerialOut& out_;
  BinaryOutPath* const home_;  // the outer path, for a local one
  unsigned char* end_;         // the room's end, which moves when a memory stream grows
  unsigned char* at_;
};

// The calls of BinarySerialIn, checked in the reader's window; whatever the
// window does not hold whole (a block boundary, a malformed byte) goes to
// the reader's own members, which refill or throw.
class BinaryInPath {
 public:
  explicit BinaryInPath(BinarySerialIn& in) : in_(in), r_(*in.reader_) {}

  // The reader's state stays in the reader: a copy reads on.
  BinaryInPath Local() { return *this; }

  static constexpr bool IsReading() { return true; }
  bool Enter() {
    if (r_.Available() >= 2) {
      const unsigned char* p = r_.Peek();
      if (p[0] == NODE_START && p[1] == NodeName::NONE) {
        r_.Skip(2);
        ++in_.depth_;
        return true;
      }
    }
    return in_.BinarySerialIn::EnterNode(NodeName());
  }
  bool Enter(unsigned char byte) {
    if (r_.Available() >= 3) {
      const unsigned char* p = r_.Peek();
      if (p[0] == NODE_START && p[1] == NodeName::BYTE && p[2] == byte) {
        r_.Skip(3);
        ++in_.depth_;
        return true;
      }
    }
    return in_.BinarySerialIn::EnterNode(NodeName(byte));
  }
  bool Enter(const NodeName& name) {
    const size_t units = static_cast<size_t>(name.GetStrValue().GetLength());
    if (name.GetType() == NodeName::STRING && units <= NodeName::MAX_NODE_NAME_LEN &&
        r_.Available() >= 3 + units * 2) {
      const unsigned char* p = r_.Peek();
      if (p[0] == NODE_START && p[1] == NodeName::STRING && p[2] == units &&
          std::memcmp(p + 3, name.GetStrValue().GetString(), units * 2) == 0) {
        r_.Skip(3 + units * 2);
        ++in_.depth_;
        return true;
      }
    }
    return in_.BinarySerialIn::EnterNode(name);
  }
  void Leave() {
    if (r_.Available() >= 1 && *r_.Peek() == NODE_END && in_.depth_ != 0) {
      r_.Skip(1);
      --in_.depth_;
      return;
    }
    in_.BinarySerialIn::LeaveNode();
  }
  void Write(unsigned int /*size*/, const void* /*data*/) {}
  const void* Read(unsigned int& size) {
    if (r_.Available() >= 5) {
      const unsigned char* p = r_.Peek();
      uint32_t n = 0;
      std::memcpy(&n, p + 1, 4);
      if (p[0] == FIELD && r_.Available() - 5 >= n) {
        r_.Unpin();
        r_.Skip(5);
        size = n;
        return r_.View(n);
      }
    }
    return in_.BinarySerialIn::ReadField(size);
  }
  template <unsigned int N>
  bool Fixed(void* data) {
    if (r_.Available() >= 5 + N) {
      const unsigned char* p = r_.Peek();
      uint32_t n = 0;
      std::memcpy(&n, p + 1, 4);
      if (p[0] == FIELD && n == N) {
        r_.Unpin();
        std::memcpy(data, p + 5, N);
        r_.Skip(5 + N);
        return true;
      }
    }
    return ReadFixed<N>(*this, data);
  }
  template <typename Call>
  bool Generic(Call&& call) {
    return call(static_cast<ISerialStream&>(in_));
  }

 private:
  BinarySerialIn& in_;
  ByteReader& r_;
};

}  // namespace Binary

// Runs `layout` (a generic lambda taking a path) on the binary writer's or
// reader's own path when `s` is exactly one of them, else on StreamPath. A
// class derived from either may override any call, so it gets StreamPath.
template <typename Layout>
bool WithPath(ISerialStream& s, Layout&& layout) {
  const std::type_info& type = typeid(s);
  if (type == typeid(Binary::BinarySerialOut)) {
    Binary::BinaryOutPath path(static_cast<Binary::BinarySerialOut&>(s));
    return layout(path);
  }
  if (type == typeid(Binary::BinarySerialIn)) {
    Binary::BinaryInPath path(static_cast<Binary::BinarySerialIn&>(s));
    return layout(path);
  }
  StreamPath path(s);
  return layout(path);
}

}  // namespace Serial

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

// The calls of BinarySerialOut, inline. The writer stays consistent at every
// step, so a value of a class the layout does not know goes through Stream().
class BinaryOutPath {
 public:
  explicit BinaryOutPath(BinarySerialOut& out) : out_(out) {}

  static constexpr bool IsReading() { return false; }
  bool Enter() {
    unsigned char* p = Room(2);
    p[0] = NODE_START;
    p[1] = NodeName::NONE;
    Done(2);
    ++out_.depth_;
    return true;
  }
  bool Enter(unsigned char byte) {
    unsigned char* p = Room(3);
    p[0] = NODE_START;
    p[1] = NodeName::BYTE;
    p[2] = byte;
    Done(3);
    ++out_.depth_;
    return true;
  }
  bool Enter(const NodeName& name) {
    const size_t units = static_cast<size_t>(name.GetStrValue().GetLength());
    if (name.GetType() == NodeName::STRING && units <= 255 &&
        out_.used_ + 3 + units * 2 <= BinarySerialOut::kBufferSize) {
      unsigned char* p = &out_.buffer_[out_.used_];
      p[0] = NODE_START;
      p[1] = NodeName::STRING;
      p[2] = static_cast<unsigned char>(units);
      CopyBytes(p + 3, name.GetStrValue().GetString(), units * 2);
      Done(3 + units * 2);
      ++out_.depth_;
      return true;
    }
    return out_.BinarySerialOut::EnterNode(name);
  }
  void Leave() {
    *Room(1) = NODE_END;
    Done(1);
    --out_.depth_;
  }
  void Write(unsigned int size, const void* data) {
    if (out_.used_ + 5 + size <= BinarySerialOut::kBufferSize) {
      unsigned char* p = &out_.buffer_[out_.used_];
      p[0] = FIELD;
      std::memcpy(p + 1, &size, 4);
      CopyBytes(p + 5, data, size);
      Done(5 + size);
      return;
    }
    out_.BinarySerialOut::WriteField(size, data);
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
    Done(5 + N);
    return true;
  }
  ISerialStream& Stream() { return out_; }

 private:
  // Space for `n` bytes in the buffer.
  unsigned char* Room(size_t n) {
    if (out_.used_ + n > BinarySerialOut::kBufferSize) out_.Flush();
    return &out_.buffer_[out_.used_];
  }
  void Done(size_t n) { out_.used_ += n; }

  BinarySerialOut& out_;
};

// The calls of BinarySerialIn, checked in the reader's window; whatever the
// window does not hold whole (a block boundary, a malformed byte) goes to
// the reader's own members, which refill or throw.
class BinaryInPath {
 public:
  explicit BinaryInPath(BinarySerialIn& in) : in_(in), r_(*in.reader_) {}

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
    unsigned int size = 0;
    const void* field = Read(size);
    if (!field || size != N) return false;
    std::memcpy(data, field, N);
    return true;
  }
  ISerialStream& Stream() { return in_; }

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

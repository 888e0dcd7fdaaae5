// The byte-level pieces shared by the binary writer, the binary reader and
// the tree loader: markers, encoded node names and a read-ahead reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "serial/NodeName.h"
#include "serial/Streams.h"

namespace Serial {
namespace Binary {

constexpr unsigned char NODE_START = 0x18;
constexpr unsigned char NODE_END = 0x19;
constexpr unsigned char FIELD = 0x1A;

// Copies `size` bytes, from one to two Words, as a Word at each end; the
// two may overlap.
template <typename Word>
inline void CopyEnds(unsigned char* to, const unsigned char* from, size_t size) {
  Word head;
  Word tail;
  std::memcpy(&head, from, sizeof head);
  std::memcpy(&tail, from + size - sizeof tail, sizeof tail);
  std::memcpy(to, &head, sizeof head);
  std::memcpy(to + size - sizeof tail, &tail, sizeof tail);
}

// A 16-byte move the compiler turns into one vector load and store.
struct Block16 {
  unsigned char bytes[16];
};

// Names and texts are mostly a few dozen bytes long, where a call into
// memcpy costs more than the copy: up to 64 bytes take overlapping moves
// of the largest width that fits.
inline void CopyBytes(unsigned char* to, const void* from, size_t size) {
  const auto* src = static_cast<const unsigned char*>(from);
  if (size > 64) {
    std::memcpy(to, src, size);
  } else if (size > 32) {
    CopyEnds<Block16>(to, src, 32);
    CopyEnds<Block16>(to + size - 32, src + size - 32, 32);
  } else if (size >= 16) {
    CopyEnds<Block16>(to, src, size);
  } else if (size >= 8) {
    CopyEnds<uint64_t>(to, src, size);
  } else if (size >= 4) {
    CopyEnds<uint32_t>(to, src, size);
  } else if (size >= 2) {
    CopyEnds<uint16_t>(to, src, size);
  } else if (size == 1) {
    *to = *src;
  }
}

// Reads an IStreamIn in blocks so that the one-byte markers cost no call
// into the stream. Never allocates more than the stream actually delivers
// (plus two blocks), whatever a size field claims. Two blocks take turns, so
// that bytes handed out by View() stay in place while the other block is
// refilled. A MemoryStreamIn is not copied at all: its bytes are the window.
class ByteReader {
 public:
  explicit ByteReader(IStreamIn& in);

  // False at the end of the stream.
  bool ReadByte(unsigned char& byte) {
    if (pos_ == end_ && !Refill()) return false;
    byte = ahead_[pos_++];
    return true;
  }
  // The next `size` bytes in place when the current block holds them all,
  // else null (nothing consumed). They stay valid until the next View() or
  // Unpin(), whatever is read in between.
  const unsigned char* View(size_t size) {
    if (end_ - pos_ < size) return nullptr;
    const unsigned char* bytes = ahead_ + pos_;
    pos_ += size;
    pinned_ = current_;
    return bytes;
  }
  // Bytes of the current block not read yet, and where they start: lets a
  // caller check a short run of structure bytes at once.
  size_t Available() const { return end_ - pos_; }
  const unsigned char* Peek() const { return ahead_ + pos_; }
  // REQUIRES: n <= Available().
  void Skip(size_t n) { pos_ += n; }
  // Bytes handed out by View() are no longer needed.
  void Unpin() { pinned_ = -1; }
  // Reads exactly `size` bytes; false (with part read) at the end of the stream.
  bool ReadExact(void* data, size_t size);
  // Reads exactly `size` bytes into `out`, growing it to at least `size`
  // only as the bytes arrive. False at a premature end.
  bool ReadInto(std::vector<unsigned char>& out, size_t size);
  // Reads a little-endian 32-bit value; false at the end of the stream.
  bool ReadU32(unsigned int& value);

 private:
  bool Refill();

  IStreamIn& in_;
  // A memory stream's bytes are read where they lie; the blocks come into
  // use only when a stream delivers bytes by read().
  std::unique_ptr<unsigned char[]> blocks_[2];
  int current_;
  int pinned_;  // the block View() last handed bytes out of, or -1
  const unsigned char* ahead_;  // the current block, or the memory stream's bytes
  size_t pos_;
  size_t end_;
};

// Reads an encoded node name (type byte, then length and code units or the
// byte). Throws FormatIO at the end of the stream, on an unknown type, and on
// a string name longer than NodeName::MAX_NODE_NAME_LEN.
NodeName ReadEncodedName(ByteReader& reader);

}  // namespace Binary
}  // namespace Serial

// Read-ahead over an input stream and the decoding of node names, shared by
// the sequential reader and the tree loader.
#include "serial/BinaryFormat.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "serial/ISerialStream.h"

namespace Serial {
namespace Binary {

namespace {
constexpr size_t kBlock = 64 * 1024;
}

ByteReader::ByteReader(IStreamIn& in)
    : in_(in),
      // Left uninitialised: only bytes the stream delivered are ever read,
      // and zeroing 128 KiB dominated the reading of small files.
      blocks_{std::unique_ptr<unsigned char[]>(new unsigned char[kBlock]),
              std::unique_ptr<unsigned char[]>(new unsigned char[kBlock])},
      current_(0),
      pinned_(-1),
      ahead_(blocks_[0].get()),
      pos_(0),
      end_(0) {
  // Exactly that class: a derived one may deliver other bytes by read().
  if (typeid(in) == typeid(MemoryStreamIn)) {
    unsigned int size = 0;
    ahead_ = static_cast<MemoryStreamIn&>(in).TakeRest(size);
    end_ = size;
    current_ = -2;  // neither block: the stream's own memory, never refilled
  }
}

bool ByteReader::Refill() {
  if (current_ == -2) {
    current_ = 0;  // the memory is used up; the stream delivers nothing more
    ahead_ = blocks_[0].get();
  } else if (current_ == pinned_) {
    current_ ^= 1;  // keep the viewed bytes where they are
    ahead_ = blocks_[current_].get();
  }
  pos_ = 0;
  end_ = in_.read(blocks_[current_].get(), static_cast<unsigned int>(kBlock));
  return end_ != 0;
}

bool ByteReader::ReadExact(void* data, size_t size) {
  auto* out = static_cast<unsigned char*>(data);
  while (size != 0) {
    if (pos_ == end_) {
      if (size >= kBlock) {
        // Large reads go straight to the caller's memory.
        return in_.read(out, static_cast<unsigned int>(size)) == size;
      }
      if (!Refill()) return false;
    }
    const size_t n = std::min(size, end_ - pos_);
    std::memcpy(out, ahead_ + pos_, n);
    pos_ += n;
    out += n;
    size -= n;
  }
  return true;
}

bool ByteReader::ReadU32(unsigned int& value) {
  if (end_ - pos_ >= 4) {
    std::memcpy(&value, ahead_ + pos_, 4);
    pos_ += 4;
    return true;
  }
  return ReadExact(&value, 4);
}

bool ByteReader::ReadInto(std::vector<unsigned char>& out, size_t size) {
  size_t done = std::min(size, end_ - pos_);
  if (out.size() < done) out.resize(done);
  if (done != 0) std::memcpy(out.data(), ahead_ + pos_, done);
  pos_ += done;
  // The rest comes straight from the stream in steps that at most double
  // what has arrived, so a false size cannot make us allocate much more
  // than the stream really holds.
  while (done < size) {
    const size_t step = std::min(size - done, std::max(done, kBlock));
    if (out.size() < done + step) out.resize(done + step);
    const unsigned int got = in_.read(out.data() + done, static_cast<unsigned int>(step));
    done += got;
    if (got < step) return false;
  }
  return true;
}

NodeName ReadEncodedName(ByteReader& reader) {
  unsigned char type = 0;
  if (!reader.ReadByte(type)) throw Exceptions::FormatIO();
  switch (type) {
    case NodeName::NONE:
      return NodeName();
    case NodeName::BYTE: {
      unsigned char byte = 0;
      if (!reader.ReadByte(byte)) throw Exceptions::FormatIO();
      return NodeName(byte);
    }
    case NodeName::STRING: {
      unsigned char length = 0;
      if (!reader.ReadByte(length) || length > NodeName::MAX_NODE_NAME_LEN) {
        throw Exceptions::FormatIO();
      }
      char16_t text[256];
      if (!reader.ReadExact(text, length * 2u)) throw Exceptions::FormatIO();
      return NodeName(CString(text, length));
    }
    default:
      throw Exceptions::FormatIO();
  }
}

}  // namespace Binary
}  // namespace Serial

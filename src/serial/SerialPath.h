// Paths: the calls a layout makes (enter, leave, write or read a field), as
// a type that a layout template takes. StreamPath sends them through any
// ISerialStream; the binary writer and reader have paths of their own
// (BinaryPaths.h) that the compiler can inline. Also the layouts of the
// plain values, written once for every path.
#pragma once

#include <cstring>
#include <vector>

#include "platform/CString.h"
#include "serial/ISerialStream.h"

namespace Serial {

// Reads a field of exactly N bytes into `data`; false, `data` unchanged,
// when it is missing or of another width.
template <unsigned int N, typename Path>
bool ReadFixed(Path& p, void* data) {
  unsigned int size = 0;
  const void* field = p.Read(size);
  if (!field || size != N) return false;
  std::memcpy(data, field, N);
  return true;
}

// Every call through the stream's interface: the path of the tree reader
// and of a caller's own streams.
class StreamPath {
 public:
  explicit StreamPath(ISerialStream& s) : s_(s) {}

  bool IsReading() const { return s_.IsReading(); }
  bool Enter() { return s_.EnterNode(NodeName()); }
  bool Enter(unsigned char byte) { return s_.EnterNode(NodeName(byte)); }
  bool Enter(const NodeName& name) { return s_.EnterNode(name); }
  void Leave() { s_.LeaveNode(); }
  void Write(unsigned int size, const void* data) { s_.WriteField(size, data); }
  const void* Read(unsigned int& size) { return s_.ReadField(size); }
  // Writes N bytes as a field, or reads a field of exactly N bytes (false,
  // `data` unchanged, when it is missing or of another width).
  template <unsigned int N>
  bool Fixed(void* data) {
    if (!IsReading()) {
      Write(N, data);
      return true;
    }
    return ReadFixed<N>(*this, data);
  }
  // The same path: the state is the stream's. Layouts take a local path in
  // their hot functions so that the binary writer's cursor stays in
  // registers there.
  StreamPath Local() { return *this; }
  // Runs `call` on the stream, for a value whose layout only its class knows.
  template <typename Call>
  bool Generic(Call&& call) {
    return call(s_);
  }

 private:
  ISerialStream& s_;
};

// The value layouts below are always inlined into the layout that calls
// them: a call that took the path by reference would make a binary
// writer's cursor live in memory for the rest of the caller.
#define ITEMLIB_PATH_STEP [[gnu::always_inline]] inline

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the format is little-endian and values are copied as they are in memory");

// A value of fixed width, copied as it is in memory.
template <typename Path, typename T>
ITEMLIB_PATH_STEP bool DoFixed(Path& p, T& value) {
  return p.template Fixed<sizeof(T)>(&value);
}

// Through a byte: any stored byte other than 0 reads as true, and no invalid
// bool value is ever formed in memory.
template <typename Path>
ITEMLIB_PATH_STEP bool DoBool(Path& p, bool& value) {
  unsigned char byte = value ? 1 : 0;
  if (!DoFixed(p, byte)) return false;
  value = byte != 0;
  return true;
}

// UTF-16LE code units without terminator; an odd size reads as false.
template <typename Path>
ITEMLIB_PATH_STEP bool DoText(Path& p, CString& value) {
  if (!p.IsReading()) {
    p.Write(static_cast<unsigned int>(value.GetLength()) * 2u, value.GetString());
    return true;
  }
  unsigned int size = 0;
  const void* field = p.Read(size);
  if (!field || size % 2 != 0) return false;
  value.SetUnits(field, static_cast<int>(size / 2));
  return true;
}

// All bytes as one field.
template <typename Path>
ITEMLIB_PATH_STEP bool DoBlock(Path& p, std::vector<unsigned char>& value) {
  if (!p.IsReading()) {
    p.Write(static_cast<unsigned int>(value.size()), value.data());
    return true;
  }
  unsigned int size = 0;
  const void* field = p.Read(size);
  if (!field) return false;
  const auto* bytes = static_cast<const unsigned char*>(field);
  value.assign(bytes, bytes + size);
  return true;
}

}  // namespace Serial

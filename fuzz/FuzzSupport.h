// What the fuzzers share: scratch files for readers that only take a path,
// reading an input sequentially or as a tree, the read-back and resave of
// our own output, and a property value as a single polymorphic pointer.
// Writing a whole stream in memory is the serial tests' helper.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "items/ResItem.h"
#include "platform/CString.h"
#include "platform/Files.h"
#include "props/PropContainer.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/SerialStrategies.h"
#include "serial/SerialTestUtil.h"
#include "serial/Streams.h"

namespace fuzz {

using testutil::Bytes;
using testutil::Write;

// One file in memory-backed /dev/shm (else the temporary folder), rewritten
// with each input and removed when the process ends normally. A disk file
// system may flush a truncated and rewritten file on every close, which
// would make the disk, not the reader, the pace of the fuzzer.
class ScratchFile {
 public:
  explicit ScratchFile(const char* suffix)
      : native_(Files::CreateUniqueFile(Folder(), "itemlib-fuzz-", suffix)) {}
  ~ScratchFile() {
    if (!native_.empty()) Files::RemoveFile(native_);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // False when the file cannot be written: the input is then skipped.
  bool Write(const uint8_t* data, size_t size) {
    return !native_.empty() && Files::WriteAll(native_, data, size);
  }
  const std::string& Native() const { return native_; }
  // The stored (backslash) form the library's path parameters expect.
  CString Path() const { return Files::FromNativePath(native_); }

 private:
  static std::string Folder() {
    return Files::RealPath("/dev/shm").empty() ? Files::TempDir() : std::string("/dev/shm");
  }

  std::string native_;
};

// Reads `data` with `body` through the sequential reader or the tree reader;
// false when the reader refuses it or `body` fails.
template <typename Body>
bool ReadInput(const uint8_t* data, size_t size, bool asTree, Body body) {
  if (size > 0xFFFFFFFFu) return false;
  try {
    Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
    if (!asTree) {
      Serial::Binary::BinarySerialIn reader(in);
      return body(static_cast<Serial::ISerialStream&>(reader));
    }
    Serial::Binary::BinarySerialTreeIn tree;
    return tree.Load(in) && body(static_cast<Serial::ISerialStream&>(tree));
  } catch (const Serial::Exceptions::FormatIO&) {
    return false;
  }
}

// Reads `bytes`, which our own writer made, with `body`; "Root" must close
// right after it. Our output rejected traps.
template <typename Body>
void ReadOwn(const Bytes& bytes, Body body) {
  try {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
    Serial::Binary::BinarySerialIn reader(in);
    if (!body(static_cast<Serial::ISerialStream&>(reader))) __builtin_trap();
    reader.LeaveNode();
  } catch (const Serial::Exceptions::FormatIO&) {
    __builtin_trap();
  }
}

// What `first` writes, read back by `again` into a fresh object, must write
// the very same bytes; anything else traps. Each body is one object's Do,
// which serves both directions. Returns the bytes.
template <typename First, typename Again>
Bytes Resaves(First first, Again again) {
  const Bytes bytes = Write(first);
  ReadOwn(bytes, again);
  if (Write(again) != bytes) __builtin_trap();
  return bytes;
}

// False for a value that differs from its own copy (a NaN double in a
// variant): such values can only be held to their bytes.
inline bool EqualsItsCopy(const CProp& value) {
  const std::unique_ptr<CProp> copy(value.Clone());
  return copy && value.IsEqual(*copy);
}

// One property value behind an owned polymorphic pointer (null flag, class
// name, value), as help project files hold it.
inline bool DoProp(Serial::ISerialStream& s, std::unique_ptr<CProp>& prop) {
  Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
  Serial::SerialClassStrategy<CProp> pointer(factory);
  return Serial::AutoPtrSerialStrategy<CProp>(pointer).Do(s, prop);
}

// The Do of `value` (a project root, a property) as one stream body.
inline auto Project(std::unique_ptr<CResItem>& root) {
  return [&root](Serial::ISerialStream& s) { return DoProject(s, root); };
}
inline auto Prop(std::unique_ptr<CProp>& prop) {
  return [&prop](Serial::ISerialStream& s) { return DoProp(s, prop); };
}

}  // namespace fuzz

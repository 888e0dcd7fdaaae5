// Writes the binary serial format: the version header, the node "Root",
// the caller's nodes and fields, and on destruction the end of "Root".
#pragma once

#include <cstddef>
#include <memory>

#include "serial/ISerialStream.h"
#include "serial/Streams.h"

namespace Serial {
namespace Binary {

// The output stream must outlive the writer. Bytes are collected in a small
// buffer and handed to the stream in blocks, or written straight into a
// MemoryStreamOut's memory; the stream has received every byte, "Root"'s end
// included, once the writer is destroyed (or Flush()ed).
class BinarySerialOut : public ISerialStream {
 public:
  // Writes the header (UNDEFINED_SCHEME_VERSION becomes 6.0.5865) and opens
  // "Root".
  BinarySerialOut(IStreamOut& out, VersionInfo version = UNDEFINED_SCHEME_VERSION);
  // Closes "Root" and hands every remaining byte to the stream.
  ~BinarySerialOut() override;
  BinarySerialOut(const BinarySerialOut&) = delete;
  BinarySerialOut& operator=(const BinarySerialOut&) = delete;

  // Always true. A string name longer than 255 code units has only the low
  // 8 bits of its length written; keep names within MAX_NODE_NAME_LEN.
  bool EnterNode(const NodeName& name) override;
  void LeaveNode() override;
  bool IsReading() const override { return false; }
  const void* ReadField(unsigned int& /*size*/) override { return nullptr; }
  void WriteField(unsigned int size, const void* data) override;
  VersionInfo GetSchemeVersion() override { return version_; }

  // Hands the buffered bytes to the stream now. True when the stream has
  // taken every byte handed to it so far; the write counts are otherwise
  // not examined, so a caller that must know asks here (or its stream).
  bool Flush();

 private:
  friend class BinaryOutPath;  // writes into the room in place
  void Put(const void* data, size_t size);
  void Hand(const void* data, size_t size);
  // A path's slow steps: each takes the path's cursor, does its work through
  // the members below and returns the new cursor (end_ may move too).
  // Drain hands on the written bytes and makes room for `least` more.
  unsigned char* Drain(unsigned char* at, size_t least = kBufferSize);
  unsigned char* WriteAt(unsigned char* at, unsigned int size, const void* data);

  IStreamOut& out_;
  MemoryStreamOut* memory_ = nullptr;  // the stream, when written in place
  VersionInfo version_;
  static constexpr size_t kBufferSize = 64 * 1024;
  std::unique_ptr<unsigned char[]> buffer_;  // uninitialised: written before it is read
  // The room being written: [base_, at_) is written but not handed on yet.
  unsigned char* base_ = nullptr;
  unsigned char* at_ = nullptr;
  unsigned char* end_ = nullptr;
  bool lost_ = false;
};

}  // namespace Binary
}  // namespace Serial

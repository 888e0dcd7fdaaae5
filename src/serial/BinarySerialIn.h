// Reads the binary serial format strictly in the order it was written.
#pragma once

#include <memory>
#include <vector>

#include "serial/ISerialStream.h"
#include "serial/Streams.h"

namespace Serial {
namespace Binary {

class ByteReader;

// Reads a binary serial stream strictly in the order it was written.
// The stream must outlive the reader. Construction consumes the header and
// the start of "Root"; malformed bytes throw Serial::Exceptions::FormatIO.
// The reader takes bytes from the stream in blocks, so it may consume bytes
// past the end of the serial data.
class BinarySerialIn : public ISerialStream {
 public:
  explicit BinarySerialIn(IStreamIn& in);
  ~BinarySerialIn() override;
  BinarySerialIn(const BinarySerialIn&) = delete;
  BinarySerialIn& operator=(const BinarySerialIn&) = delete;

  // Throws FormatIO unless the next node is `name`; never returns false.
  bool EnterNode(const NodeName& name) override;
  // Throws FormatIO unless the next byte ends a node.
  void LeaveNode() override;
  bool IsReading() const override { return true; }
  // Returns the bytes of the next field, valid until the next ReadField.
  // REQUIRES: the next byte in the stream is a field marker (else FormatIO).
  const void* ReadField(unsigned int& size) override;
  void WriteField(unsigned int /*size*/, const void* /*data*/) override {}
  VersionInfo GetSchemeVersion() override { return version_; }

 private:
  friend class BinaryInPath;  // decodes from the window in place
  unsigned char NextByte();

  // Held apart so that the byte cursor stays out of the public headers.
  std::unique_ptr<ByteReader> reader_;
  unsigned int depth_;
  VersionInfo version_;
  std::vector<unsigned char> field_;
};

}  // namespace Binary
}  // namespace Serial

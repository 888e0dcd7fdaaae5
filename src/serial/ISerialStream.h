// The two-way stream interface that every persistent class's Do() talks to,
// and the format's one exception.
#pragma once

#include "serial/NodeName.h"
#include "serial/VersionInfo.h"

namespace Serial {

namespace Exceptions {
// Thrown by value when bytes do not fit the serial structure. No text.
class FormatIO {};
}  // namespace Exceptions

// A serial stream of nodes and fields. Writers and readers implement the
// same calls; IsReading() tells a Do() function the direction.
class ISerialStream {
 public:
  virtual ~ISerialStream() = default;
  // Opens a child node of the current node.
  virtual bool EnterNode(const NodeName& name) = 0;
  // Closes the node opened last.
  virtual void LeaveNode() = 0;
  virtual bool IsReading() const = 0;
  // Reading: the next field's bytes with `size` set to their count, or null
  // where the stream has none. The bytes stay valid until the next call.
  virtual const void* ReadField(unsigned int& size) = 0;
  // Writing: appends a field of `size` bytes.
  virtual void WriteField(unsigned int size, const void* data) = 0;
  virtual VersionInfo GetSchemeVersion() = 0;
};

}  // namespace Serial

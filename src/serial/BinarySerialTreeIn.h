// Loads a whole binary serial stream into a tree and reads it back with the
// tolerance of the tree (absent nodes give false, named nodes in any order).
#pragma once

#include "serial/SerialTree.h"
#include "serial/Streams.h"

namespace Serial {
namespace Binary {

class BinarySerialTreeIn : public SerialTree {
 public:
  BinarySerialTreeIn() : version_(UNDEFINED_SCHEME_VERSION) {}

  // Reads the complete stream and leaves the cursor inside "Root". Returns
  // false at an unknown marker byte; throws FormatIO when the stream ends
  // inside a node, a name is malformed or longer than MAX_NODE_NAME_LEN, a
  // node end has no node to close, or "Root" is absent. The input is not
  // needed afterwards.
  bool Load(IStreamIn& in);

  VersionInfo GetSchemeVersion() override { return version_; }

 private:
  VersionInfo version_;
};

}  // namespace Binary
}  // namespace Serial

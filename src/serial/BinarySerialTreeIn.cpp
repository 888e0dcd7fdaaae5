// Loading a binary serial stream into a tree: one pass over the markers,
// recording through the tree's own writing mode.
#include "serial/BinarySerialTreeIn.h"

#include "serial/BinaryFormat.h"

namespace Serial {
namespace Binary {

bool BinarySerialTreeIn::Load(IStreamIn& in) {
  SetReadingMode(false);
  Reset();  // a tree already in writing mode keeps content until reset
  ByteReader reader(in);
  std::vector<unsigned char> buffer(1024);
  unsigned int depth = 0;
  unsigned char marker = 0;
  while (reader.ReadByte(marker)) {
    switch (marker) {
      case NODE_START:
        EnterNode(ReadEncodedName(reader));
        ++depth;
        break;
      case NODE_END:
        // Closing the top level would leave the tree with no cursor.
        if (depth == 0) throw Exceptions::FormatIO();
        LeaveNode();
        --depth;
        break;
      case FIELD: {
        unsigned int size = 0;
        if (!reader.ReadU32(size) || !reader.ReadInto(buffer, size)) throw Exceptions::FormatIO();
        WriteField(size, buffer.data());
        break;
      }
      default:
        return false;
    }
  }
  if (depth != 0) throw Exceptions::FormatIO();
  SetReadingMode(true);
  version_ = UNDEFINED_SCHEME_VERSION;
  version_.Do(*this);
  if (!EnterNode(NodeName(ROOT_NODE_NAME))) throw Exceptions::FormatIO();
  return true;
}

}  // namespace Binary
}  // namespace Serial

// libFuzzer target: arbitrary bytes through the sequential binary reader
// into a small object graph. Malformed input must end in FormatIO, never in
// a crash, a leak or an allocation the input does not justify.
#include <cstddef>
#include <cstdint>

#include "FuzzGraph.h"
#include "serial/BinarySerialIn.h"
#include "serial/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ShapeClass();  // registers the class before the first read
  if (size > 0xFFFFFFFFu) return 0;
  Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
  try {
    Serial::Binary::BinarySerialIn reader(in);
    reader.GetSchemeVersion();
    fuzz::Graph graph;
    fuzz::DoGraph(reader, graph);
    // Whatever follows the graph is read as a field and as a node end.
    unsigned int fieldSize = 0;
    reader.ReadField(fieldSize);
    reader.LeaveNode();
  } catch (const Serial::Exceptions::FormatIO&) {
  }
  return 0;
}

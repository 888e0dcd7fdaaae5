// libFuzzer target: arbitrary bytes through the sequential binary reader
// into a small object graph. Malformed input must end in FormatIO, never in
// a crash, a leak or an allocation the input does not justify.
#include <cstddef>
#include <cstdint>

#include "FuzzGraph.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ShapeClass();  // registers the class before the first read
  fuzz::ReadInput(data, size, false, [](Serial::ISerialStream& s) {
    s.GetSchemeVersion();
    fuzz::Graph graph;
    fuzz::DoGraph(s, graph);
    // Whatever follows the graph is read as a field and as a node end.
    unsigned int fieldSize = 0;
    s.ReadField(fieldSize);
    s.LeaveNode();
    return true;
  });
  return 0;
}

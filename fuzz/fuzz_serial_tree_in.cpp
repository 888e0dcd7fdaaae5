// libFuzzer target: arbitrary bytes loaded into a serial tree, which is then
// read back through the tolerant tree reader and printed by the dump code.
// Malformed input must give false or FormatIO and nothing worse.
#include <cstddef>
#include <cstdint>
#include <ostream>

#include "Dump.h"
#include "FuzzGraph.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/Streams.h"

namespace {

// Goes down the first anonymous children, reading every field on the way.
void WalkAnonymous(Serial::ISerialStream& s, unsigned int maxDepth) {
  unsigned int depth = 0;
  for (; depth < maxDepth; ++depth) {
    unsigned int size = 0;
    while (s.ReadField(size)) {
    }
    if (!s.EnterNode(Serial::NodeName())) break;
  }
  for (; depth > 0; --depth) s.LeaveNode();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ShapeClass();
  if (size > 0xFFFFFFFFu) return 0;
  Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
  Serial::Binary::BinarySerialTreeIn tree;
  try {
    if (!tree.Load(in)) return 0;
  } catch (const Serial::Exceptions::FormatIO&) {
    return 0;
  }
  // Load leaves the cursor inside "Root".
  fuzz::Graph graph;
  fuzz::DoGraph(tree, graph);
  WalkAnonymous(tree, 64);

  // Without a buffer the stream discards the dump; only its making is under test.
  std::ostream out(nullptr);
  itemtool::PrintRoot(tree.GetRootNode(), tree.GetSchemeVersion(), itemtool::DumpFormat::kJson,
                      out);
  itemtool::PrintRoot(tree.GetRootNode(), tree.GetSchemeVersion(), itemtool::DumpFormat::kText,
                      out);
  return 0;
}

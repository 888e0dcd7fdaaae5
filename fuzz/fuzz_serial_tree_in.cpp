// libFuzzer target: arbitrary bytes loaded into a serial tree, which is then
// read back through the tolerant tree reader and printed by the dump code
// (which walks every node and field).
// Malformed input must give false or FormatIO and nothing worse.
#include <cstddef>
#include <cstdint>
#include <ostream>

#include "Dump.h"
#include "FuzzGraph.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/Streams.h"

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

  // Without a buffer the stream discards the dump; only its making is under test.
  std::ostream out(nullptr);
  for (const auto format : {itemtool::DumpFormat::kJson, itemtool::DumpFormat::kText}) {
    itemtool::PrintRoot(tree.GetRootNode(), tree.GetSchemeVersion(), format, out);
  }
  return 0;
}

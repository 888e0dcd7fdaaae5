// Shared pieces of the configuration tests: the small project tree of the
// item tests and reading through the tolerant tree reader.
#pragma once

#include <functional>

#include "config/CfgAccessor.h"
#include "items/ItemTestUtil.h"
#include "serial/SerialTestUtil.h"

namespace cfgtest {

using itemtest::Tree;

// What `value.Do` answers on the stream that `write` produces, read through
// the tree reader, which tolerates absent nodes.
template <typename T>
bool ReadTree(const std::function<void(Serial::ISerialStream&)>& write, T& value) {
  const testutil::Bytes bytes = testutil::Write(write);
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  Serial::Binary::BinarySerialTreeIn tree;
  return tree.Load(in) && value.Do(tree);
}

}  // namespace cfgtest

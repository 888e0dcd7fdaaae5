// Shared pieces of the configuration tests: the small project tree of the
// item tests, the listing of changed settings as comparable text lines, and
// reading through the tolerant tree reader.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/CfgAccessor.h"
#include "items/ItemTestUtil.h"
#include "serial/SerialTestUtil.h"

namespace cfgtest {

using itemtest::Tree;
using Lines = std::vector<std::string>;

// "Key = value" for every setting of `table` that differs from its default.
inline Lines Changed(const std::vector<CfgAccess::CSettingInfo>& table, const CResItem& item) {
  Lines lines;
  for (const auto& [key, value] : CfgAccess::ListChanged(table, item)) {
    lines.push_back(key.ToUtf8() + " = " + value.ToUtf8());
  }
  return lines;
}

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

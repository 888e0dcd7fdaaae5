// Shared pieces of the configuration tests: the small project tree of the
// item tests and the listing of changed settings as comparable text lines.
#pragma once

#include <string>
#include <vector>

#include "config/CfgAccessor.h"
#include "items/ItemTestUtil.h"

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

}  // namespace cfgtest

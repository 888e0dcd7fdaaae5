// Shared pieces of the configuration tests: a small project tree and the
// listing of changed settings as comparable text lines.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/CfgAccessor.h"
#include "items/ItemTestUtil.h"

namespace cfgtest {

using Lines = std::vector<std::string>;

// "Key = value" for every setting of `table` that differs from its default.
inline Lines Changed(const std::vector<CfgAccess::CSettingInfo>& table, const CResItem& item) {
  Lines lines;
  for (const auto& [key, value] : CfgAccess::ListChanged(table, item)) {
    lines.push_back(key.ToUtf8() + " = " + value.ToUtf8());
  }
  return lines;
}

inline CResItem* AddChild(CResItem& parent, const char16_t* resId) {
  CResItem* child = itemtest::NewItem(resId);
  parent.AddResItem(child);
  return child;
}

// root { file { res }, sibling }, settings placed by each test.
struct Tree {
  std::unique_ptr<CResItem> root{itemtest::NewItem(u"root")};
  CResItem* file = AddChild(*root, u"file");
  CResItem* sibling = AddChild(*root, u"sibling");
  CResItem* res = AddChild(*file, u"res");
};

}  // namespace cfgtest

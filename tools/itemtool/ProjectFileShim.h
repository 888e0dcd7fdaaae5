// TEMPORARY: the safe project save and load that the items layer is about
// to provide, with the same declarations; removed when it lands.
#pragma once

#include <memory>

#include "items/ResItem.h"

namespace Serial {
constexpr int kPlainFile = -1;
}

bool SaveProjectFile(const CString& path, const CResItem& root, int level, CString& error);
bool LoadProjectFile(const CString& path, std::unique_ptr<CResItem>& root, CString& error);

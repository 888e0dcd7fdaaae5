// CStrUtil: ICU simple case mapping of single code units, all or one index.
#include <gtest/gtest.h>

#include <string>

#include "platform/TestData.h"
#include "text/StrUtil.h"

namespace {

TEST(CStrUtil, MapsEveryCodeUnitOnItsOwn) {
  for (const auto& row : testdata::Rows("text", "case_map.tsv")) {
    ASSERT_EQ(row.size(), 4u);
    const int index = std::stoi(row[1]);
    CString lower = CString::FromUtf8(row[0]), upper = lower;
    CStrUtil::MakeLower(lower, index);
    CStrUtil::MakeUpper(upper, index);
    EXPECT_EQ(lower.ToUtf8(), row[2]) << index;
    EXPECT_EQ(upper.ToUtf8(), row[3]) << index;
  }
}

}  // namespace

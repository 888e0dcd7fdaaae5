// itemtool convert on an SQLite 2 file that holds no project: exit 1 and a
// clear last line. The sample conversion and the other refused files are
// checked from the command line (cli_test.cmake).
#include "Convert.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "Dump.h"
#include "serial/SerialTestUtil.h"
#include "storage/Storage.h"

namespace {

TEST(Convert, SqliteFileWithoutProjectTables) {
  // Only the PROP table that every open creates.
  const std::string path = testutil::TempPath("bare-old.db");
  std::remove(path.c_str());
  { CStorage storage(CString::FromUtf8(path)); }
  std::ostringstream out, err;
  EXPECT_EQ(itemtool::ConvertFile(path, testutil::TempPath("bare.serial.gz"), false, out, err),
            itemtool::kExitMalformed);
  EXPECT_EQ(out.str(), "");
  const std::string text = err.str(), last = "itemtool: " + path + ": holds no project items\n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

}  // namespace

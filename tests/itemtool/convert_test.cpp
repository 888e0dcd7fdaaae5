// itemtool convert where the command line cannot reach: an SQLite 2 file that
// holds no project, and what the checking program answers. The sample
// conversion and the other refused files are checked from the command line
// (cli_test.cmake).
#include "Convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

#include "Dump.h"
#include "serial/SerialTestUtil.h"
#include "storage/Storage.h"

namespace {

using testutil::TempPath;

TEST(Convert, SqliteFileWithoutProjectTables) {
  // Only the PROP table that every open creates.
  const std::string path = TempPath("bare-old.db");
  std::remove(path.c_str());
  { CStorage storage(CString::FromUtf8(path)); }
  std::ostringstream out, err;
  EXPECT_EQ(itemtool::ConvertFile(path, TempPath("bare.serial.gz"), false, out, err,
                                  ITEMLIB_TEST_DBCHECK),
            itemtool::kExitMalformed);
  EXPECT_EQ(out.str(), "");
  const std::string last = "itemtool: " + path + ": holds no project items\n";
  EXPECT_EQ(err.str().substr(err.str().size() - std::min(err.str().size(), last.size())), last);
}

// /bin/false answers nothing; a checker that is not there cannot answer.
TEST(Convert, DatabaseTheCheckTurnsAway) {
  const std::string oldPath = TempPath("checked-old.db");
  std::ostringstream err;
  ASSERT_TRUE(itemtool::WriteSampleOldDb(oldPath, 16, err)) << err.str();
  const struct {
    const char* checker;
    int status;
    const char* message;
  } cases[] = {
      {"/bin/false", itemtool::kExitMalformed, "damaged project database"},
      {"/nonexistent/itemlib-dbcheck", itemtool::kExitUnreadable,
       "cannot check the database: itemlib-dbcheck not found"},
  };
  for (const auto& c : cases) {
    std::ostringstream out, errors;
    EXPECT_EQ(itemtool::ConvertFile(oldPath, TempPath("checked.serial.gz"), false, out, errors,
                                    c.checker),
              c.status);
    EXPECT_EQ(errors.str(), "itemtool: " + oldPath + ": " + c.message + "\n");
  }
}

}  // namespace

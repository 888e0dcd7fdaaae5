// itemtool convert and sample-olddb: the sample database converts into a
// project file whose summary and settings are exactly the sample's, and files
// that are not old projects end with exit 1 and one clear line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "Convert.h"
#include "Dump.h"
#include "ItemtoolTestUtil.h"
#include "Project.h"
#include "storage/Storage.h"

namespace {

using itemtool_test::Temp;

TEST(Convert, SampleDatabaseToProjectFile) {
  const std::string oldPath = Temp("sample-old.db");
  const std::string newPath = Temp("sample-old.serial.gz");
  std::ostringstream err;
  ASSERT_TRUE(itemtool::WriteSampleOldDb(oldPath, itemtool::kSampleBlockSize, err)) << err.str();

  std::ostringstream out;
  ASSERT_EQ(itemtool::ConvertFile(oldPath, newPath, false, out, err, ITEMLIB_TEST_DBCHECK),
            itemtool::kExitOk)
      << err.str();
  EXPECT_EQ(err.str(), "");
  // 1,200,000 block bytes over two chunks plus a 16-byte rectangle. Every
  // stored old value differs from its setting's default, and so do the
  // form encoding and the executable output type.
  EXPECT_EQ(out.str(), oldPath + " -> " + newPath +
                           ": 8 items, 8 translations, 13 properties, 1200016 binary bytes, "
                           "11 converted settings\n");

  std::ostringstream info;
  ASSERT_EQ(itemtool::InfoFile(newPath, false, info, err), itemtool::kExitOk);
  const std::string text = info.str();
  for (const char* line : {"items:        8\n", "translations: 8\n",
                           "languages:    0x0407 0x0409\n",
                           "depth:        3\n", "settings:     11\n", "  FuzzyUpdate = 75\n",
                           "  bCrashUseTempDir = false\n", "  bCrashFinderAutoStart = false\n",
                           "  RunLocalizedCustom = true\n",
                           "  PrjLangs = native 1033, target 1031, secondary 7777, selected "
                           "{1031, 1036}\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "in:\n" << text;
  }
}

TEST(Convert, FilesThatAreNotOldProjects) {
  struct Case {
    const char* name;
    const char* content;  // null: no file at all
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"foreign.txt", "just some text, not a database\n", itemtool::kExitMalformed,
       "not an SQLite 2 project database"},
      {"short.db", "** This file contains an SQLite", itemtool::kExitMalformed,
       "not an SQLite 2 project database"},
      {"absent.db", nullptr, itemtool::kExitUnreadable, "cannot open"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Temp(c.name);
    std::remove(path.c_str());
    if (c.content) std::ofstream(path, std::ios::binary) << c.content;
    std::ostringstream out, err;
    EXPECT_EQ(itemtool::ConvertFile(path, Temp("unused.serial.gz"), false, out, err), c.status);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "itemtool: " + path + ": " + c.message + "\n");
  }
}

// What the checking program answers decides; /bin/false answers nothing.
TEST(Convert, DatabaseTheCheckTurnsAway) {
  const std::string oldPath = Temp("checked-old.db");
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
    EXPECT_EQ(itemtool::ConvertFile(oldPath, Temp("checked.serial.gz"), false, out, errors,
                                    c.checker),
              c.status);
    EXPECT_EQ(errors.str(), "itemtool: " + oldPath + ": " + c.message + "\n");
  }
}

TEST(Convert, SqliteFileWithoutProjectTables) {
  // An SQLite 2 file with only the PROP table that every open creates.
  const std::string path = Temp("bare-old.db");
  std::remove(path.c_str());
  { CStorage storage(CString::FromUtf8(path)); }
  std::ostringstream out, err;
  EXPECT_EQ(itemtool::ConvertFile(path, Temp("bare.serial.gz"), false, out, err,
                                  ITEMLIB_TEST_DBCHECK),
            itemtool::kExitMalformed);
  EXPECT_EQ(out.str(), "");
  const std::string text = err.str();
  EXPECT_NE(text.find("itemtool: message: IO error\n"), std::string::npos) << text;
  const std::string last = "itemtool: " + path + ": holds no project items\n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

}  // namespace

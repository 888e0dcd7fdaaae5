// itemtool convert and sample-olddb: the sample database converts into a
// project file whose summary and settings are exactly the sample's, and files
// that are not old projects end with exit 1 and one clear line.
#include "Convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "Dump.h"
#include "Project.h"
#include "serial/SerialTestUtil.h"
#include "storage/Storage.h"

namespace {

using testutil::TempPath;

TEST(Convert, SampleDatabaseToProjectFile) {
  const std::string oldPath = TempPath("sample-old.db"), newPath = TempPath("sample-old.serial.gz");
  std::ostringstream out, err, info;
  ASSERT_TRUE(itemtool::WriteSampleOldDb(oldPath, itemtool::kSampleBlockSize, err)) << err.str();
  ASSERT_EQ(itemtool::ConvertFile(oldPath, newPath, false, out, err), itemtool::kExitOk)
      << err.str();
  EXPECT_EQ(err.str(), "");
  // 1,200,000 block bytes over two chunks plus a 16-byte rectangle. Every
  // stored old value differs from its setting's default, and so do the
  // form encoding and the executable output type.
  EXPECT_EQ(out.str(), oldPath + " -> " + newPath +
                           ": 8 items, 8 translations, 13 properties, 1200016 binary bytes, "
                           "11 converted settings\n");
  ASSERT_EQ(itemtool::InfoFile(newPath, false, info, err), itemtool::kExitOk);
  // Each setting's conversion is proven in the config tests.
  for (const char* line :
       {"items:        8\n", "translations: 8\n", "languages:    0x0407 0x0409\n",
        "depth:        3\n", "settings:     11\n", "  FuzzyUpdate = 75\n",
        "  PrjLangs = native 1033, target 1031, secondary 7777, selected "
        "{1031, 1036}\n"}) {
    EXPECT_NE(info.str().find(line), std::string::npos) << line << "in:\n" << info.str();
  }
}

TEST(Convert, FilesThatAreNotOldProjects) {
  const std::string bare = TempPath("bare-old.db");  // only the PROP table every open creates
  std::remove(bare.c_str());
  { CStorage storage(CString::FromUtf8(bare)); }
  const struct {
    const char* name;
    const char* content;  // null: no file at all, or the bare database
    int status;
    const char* message;
  } cases[] = {
      {"foreign.txt", "just some text, not a database\n", itemtool::kExitMalformed,
       "not an SQLite 2 project database"},
      {"absent.db", nullptr, itemtool::kExitUnreadable, "cannot open"},
      {"bare-old.db", nullptr, itemtool::kExitMalformed, "holds no project items"},
  };
  for (const auto& c : cases) {
    const std::string path = TempPath(c.name);
    if (path != bare) std::remove(path.c_str());
    if (c.content) std::ofstream(path, std::ios::binary) << c.content;
    std::ostringstream out, err;
    EXPECT_EQ(itemtool::ConvertFile(path, TempPath("unused.serial.gz"), false, out, err), c.status);
    EXPECT_EQ(out.str(), "");
    // Last line; the bare database also logs "itemtool: message: IO error" first.
    const std::string last = "itemtool: " + path + ": " + c.message + "\n";
    EXPECT_EQ(err.str().substr(err.str().size() - std::min(err.str().size(), last.size())), last);
  }
}

}  // namespace

// itemtool's project side: the info summary of the saved sample project with
// its exit statuses, and saving and loading it unchanged.
#include "Project.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "Dump.h"
#include "serial/BinarySerialIn.h"
#include "serial/SerialTestUtil.h"

namespace {

using testutil::TempPath;

TEST(SampleProject, InfoOfSavedFileAndFailures) {
  const std::string path = TempPath("sample.serial.gz"), cut = TempPath("sample-cut.serial");
  std::ostringstream out, text, err;
  ASSERT_EQ(itemtool::SaveProject(path, *itemtool::BuildSampleProject(), err), itemtool::kExitOk);
  // 23 properties: 21 texts, an assembly version and a dialog rectangle.
  EXPECT_EQ(itemtool::InfoFile(path, true, out, err), itemtool::kExitOk);
  EXPECT_EQ(out.str(),
            "{\"version\": \"6.0.5865\", \"items\": 11, \"translations\": 21, \"properties\": 23, "
            "\"settings\": 4, \"languages\": [1031, 1033, 1041], \"depth\": 3, "
            "\"changed\": {\"FuzzyUpdate\": \"85\"}}\n");
  EXPECT_EQ(err.str(), "");
  // The root stores FuzzyUpdate 85 and bCrashUseTempDir true, which is the
  // default; a file item's own FuzzyUpdate is not the project's.
  EXPECT_EQ(itemtool::InfoFile(path, false, text, err), itemtool::kExitOk);
  EXPECT_NE(
      text.str().find("languages:    0x0407 0x0409 0x0411\n"
                      "depth:        3\nsettings differing from defaults:\n  FuzzyUpdate = 85\n"),
      std::string::npos)
      << text.str();

  // The plain (unzipped) form cut in the middle of the body is malformed.
  std::string plain(1 << 16, '\0');
  plain.resize(itemtool::OpenSerialFile(path, err)->read(&plain[0], 1 << 16));
  std::ofstream(cut, std::ios::binary) << plain.substr(0, plain.size() / 2);
  std::ostringstream none, message;
  EXPECT_EQ(itemtool::InfoFile(cut, false, none, message), itemtool::kExitMalformed);
  EXPECT_EQ(none.str(), "");
  EXPECT_NE(message.str().find("not a valid project file"), std::string::npos);
}

// The saved sample loads back equal, parents set, and saves to the same bytes.
TEST(SampleProject, SavedProjectLoadsEqualAndResavesIdentically) {
  const std::string first = TempPath("first.serial.gz"), second = TempPath("second.serial.gz");
  const auto root = itemtool::BuildSampleProject();
  std::ostringstream err;
  ASSERT_EQ(itemtool::SaveProject(first, *root, err), itemtool::kExitOk);
  std::unique_ptr<CResItem> loaded;
  auto in = itemtool::OpenSerialFile(first, err);
  Serial::Binary::BinarySerialIn reader(*in);
  ASSERT_TRUE(DoProject(reader, loaded));
  EXPECT_TRUE(*loaded == *root);
  EXPECT_EQ(loaded->GetResItems().at(0)->GetParent(), loaded.get());
  ASSERT_EQ(itemtool::SaveProject(second, *loaded, err), itemtool::kExitOk);
  EXPECT_EQ(testutil::Slurp(first), testutil::Slurp(second));
}

}  // namespace

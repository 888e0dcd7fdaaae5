// itemtool's project side: the info summary of the saved sample project with
// its exit statuses, and saving and loading it unchanged.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "Dump.h"
#include "ItemtoolTestUtil.h"
#include "Project.h"
#include "serial/BinarySerialIn.h"

namespace {

using itemtool_test::Temp;

TEST(SampleProject, InfoOfSavedFileAndFailures) {
  const std::string path = Temp("sample.serial.gz");
  const auto root = itemtool::BuildSampleProject();
  std::ostringstream out, err;
  ASSERT_EQ(itemtool::SaveProject(path, *root, err), itemtool::kExitOk);

  // 23 properties: 21 texts, an assembly version and a dialog rectangle.
  EXPECT_EQ(itemtool::InfoFile(path, true, out, err), itemtool::kExitOk);
  EXPECT_EQ(out.str(),
            "{\"version\": \"6.0.5865\", \"items\": 11, \"translations\": 21, \"properties\": 23, "
            "\"settings\": 4, \"languages\": [1031, 1033, 1041], \"depth\": 3, "
            "\"changed\": {\"FuzzyUpdate\": \"85\"}}\n");
  EXPECT_EQ(err.str(), "");

  std::ostringstream text;
  EXPECT_EQ(itemtool::InfoFile(path, false, text, err), itemtool::kExitOk);
  EXPECT_NE(text.str().find("languages:    0x0407 0x0409 0x0411\n"), std::string::npos);
  // The root stores FuzzyUpdate 85 and bCrashUseTempDir true, which is the
  // default; a file item's own FuzzyUpdate is not the project's.
  const std::string tail =
      "depth:        3\nsettings differing from defaults:\n  FuzzyUpdate = 85\n";
  ASSERT_GE(text.str().size(), tail.size());
  EXPECT_EQ(text.str().substr(text.str().size() - tail.size()), tail);

  // A file cut short is malformed; a missing one unreadable.
  const std::string cut = Temp("sample-cut.serial");
  {
    // The plain (unzipped) form cut in the middle of the body.
    auto stream = itemtool::OpenSerialFile(path, err);
    std::string plain(1 << 16, '\0');
    plain.resize(stream->read(&plain[0], static_cast<unsigned int>(plain.size())));
    std::ofstream(cut, std::ios::binary) << plain.substr(0, plain.size() / 2);
  }
  std::ostringstream none, message;
  EXPECT_EQ(itemtool::InfoFile(cut, false, none, message), itemtool::kExitMalformed);
  EXPECT_EQ(none.str(), "");
  EXPECT_NE(message.str().find("not a valid project file"), std::string::npos);
  EXPECT_EQ(itemtool::InfoFile(Temp("no-such-file"), false, none, message),
            itemtool::kExitUnreadable);
}

TEST(SampleProject, SavedProjectLoadsEqualAndResavesIdentically) {
  const std::string first = Temp("first.serial.gz"), second = Temp("second.serial.gz");
  const auto root = itemtool::BuildSampleProject();
  std::ostringstream err;
  ASSERT_EQ(itemtool::SaveProject(first, *root, err), itemtool::kExitOk);
  std::unique_ptr<CResItem> loaded;
  {
    auto in = itemtool::OpenSerialFile(first, err);
    ASSERT_NE(in, nullptr);
    Serial::Binary::BinarySerialIn reader(*in);
    ASSERT_TRUE(DoProject(reader, loaded));
  }
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(*loaded == *root);
  ASSERT_EQ(loaded->GetResItems().size(), 2u);
  EXPECT_EQ(loaded->GetResItems()[0]->GetParent(), loaded.get());
  ASSERT_EQ(itemtool::SaveProject(second, *loaded, err), itemtool::kExitOk);
  EXPECT_EQ(itemtool_test::Slurp(first), itemtool_test::Slurp(second));
}

}  // namespace

// itemtool's project side: the saved sample project loads back equal and
// resaves identically, and a file cut short is malformed. Its info summary is
// checked from the command line (cli_test.cmake).
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

TEST(SampleProject, LoadsEqualResavesIdenticallyAndCutIsMalformed) {
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

  // The plain (unzipped) form cut in the middle of the body.
  const std::string cut = TempPath("sample-cut.serial");
  std::string plain(1 << 16, '\0');
  plain.resize(itemtool::OpenSerialFile(first, err)->read(&plain[0], 1 << 16));
  std::ofstream(cut, std::ios::binary) << plain.substr(0, plain.size() / 2);
  std::ostringstream none, message;
  EXPECT_EQ(itemtool::InfoFile(cut, false, none, message), itemtool::kExitMalformed);
  EXPECT_EQ(none.str(), "");
  EXPECT_NE(message.str().find("not a valid project file"), std::string::npos);
}

}  // namespace

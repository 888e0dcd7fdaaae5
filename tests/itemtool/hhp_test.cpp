// itemtool's help project commands: the sample file prints its project text,
// and files that hold no help project fail with the tool's statuses.
#include "Hhp.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Dump.h"
#include "Example.h"
#include "serial/SerialTestUtil.h"

namespace {

using testutil::TempPath;

TEST(HhpCommand, PrintsTheSampleAndRejectsOtherFiles) {
  const std::string sample = TempPath("sample.hhp.serial.gz"), other = TempPath("hhp_example.gz");
  CString error;
  ASSERT_TRUE(itemtool::SaveHhpFile(sample, itemtool::BuildSampleHhp(), error));
  ASSERT_TRUE(itemtool::WriteExampleFile(other, error));
  std::ostringstream out, err;
  EXPECT_EQ(itemtool::PrintHhpFile(sample, out, err), itemtool::kExitOk);
  EXPECT_EQ(err.str(), "");
  // The rendering is proven in the help tests; the file must bring the sample back whole.
  EXPECT_EQ(out.str(), itemtool::BuildSampleHhp().ToString().ToUtf8());
  out.str("");
  EXPECT_EQ(itemtool::PrintHhpFile(other, out, err), itemtool::kExitMalformed);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "itemtool: " + other + ": not a help project file\n");
  EXPECT_EQ(itemtool::PrintHhpFile(TempPath("missing.hhp"), out, err), itemtool::kExitUnreadable);
}

}  // namespace

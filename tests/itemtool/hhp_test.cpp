// itemtool's help project commands: the sample file prints its exact project
// text, and files that hold no help project fail with the tool's statuses.
#include "Hhp.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Dump.h"
#include "ItemtoolTestUtil.h"
#include "Example.h"
#include "serial/BinarySerialOut.h"
#include "serial/SerialStrategies.h"
#include "serial/Streams.h"

namespace {

using itemtool_test::Temp;

TEST(HhpCommand, PrintsTheSampleProjectText) {
  const std::string path = Temp("sample.hhp.serial.gz");
  CString error;
  ASSERT_TRUE(itemtool::SaveHhpFile(path, itemtool::BuildSampleHhp(), error));
  std::ostringstream out, err;
  EXPECT_EQ(itemtool::PrintHhpFile(path, out, err), itemtool::kExitOk);
  EXPECT_EQ(err.str(), "");
  // The rendering itself is proven in the help tests; here the file must
  // bring back the sample whole, window and sections included.
  EXPECT_EQ(out.str(), itemtool::BuildSampleHhp().ToString().ToUtf8());
  EXPECT_NE(out.str().find("\n[WINDOWS]\nmain=\"Sample Help\",\"sample.hhc\",\"sample.hhk\",,"
                           "\"intro.htm\",,,,,0x2520,,0x3006,[10,20,810,620],,,,,,,0x0\n\n"
                           "[FILES]\nintro.htm\nusage.htm\n\n[ALIAS]\nIDH_10 = intro.htm\n"),
            std::string::npos);
}

TEST(HhpCommand, RejectsOtherContent) {
  // A serial file holding another property class.
  const std::string other = Temp("string_prop.serial");
  {
    Serial::FileStreamOut file(CString::FromUtf8(other));
    Serial::Binary::BinarySerialOut writer(file);
    Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
    CStrProp value(u"not a project");
    CProp* pointer = &value;
    ASSERT_TRUE(Serial::SerialClassStrategy<CProp>(factory).Do(writer, pointer));
  }
  const std::string example = Temp("hhp_example.serial.gz");
  CString error;
  ASSERT_TRUE(itemtool::WriteExampleFile(example, error));
  for (const std::string& path : {other, example}) {
    std::ostringstream out, err;
    EXPECT_EQ(itemtool::PrintHhpFile(path, out, err), itemtool::kExitMalformed) << path;
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "itemtool: " + path + ": not a help project file\n");
  }
  std::ostringstream out, err;
  EXPECT_EQ(itemtool::PrintHhpFile(Temp("missing.hhp"), out, err), itemtool::kExitUnreadable);
}

}  // namespace

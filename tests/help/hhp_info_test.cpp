// Help project descriptions: the exact project text of a full and of an
// empty project, window lines, completion from the default window, equality,
// and the serial form through the property class registry.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "help/HhpInfo.h"
#include "lang/LangTestUtil.h"
#include "platform/TestData.h"
#include "serial/BinarySerialTreeIn.h"

namespace {

// Every presence bit set, every field its own value.
CWindowEntry FullWindow() {
  return {0x277E,      u"main",   u"My Help",
          u"a.hhc",    u"a.hhk",  u"intro.htm",
          u"home.htm", u"j1.htm", u"Jump 1",
          u"j2.htm",   u"Jump 2", 0x2520,
          200,         0x3006,    RECT{10, 20, 300, 400},
          0x80000000,  0x200,     5,
          1,           0,         2,
          0x1234};
}

CHhpInfo FullInfo() {
  CHhpInfo info;
  info.Version = 2;
  info.AutoIndex = false;
  info.AutoTOC = 3;
  info.CreateCHI = true;
  info.TargetFile = u"help.chm";
  info.ErrorLogFile = CString();
  info.ContentsFile = u"a.hhc";
  info.IndexFile = u"a.hhk";
  info.DefaultTopic = u"intro.htm";
  info.Title = u"My Help";
  info.lcid = 1031;
  info.Language = 1033;
  info.IsFullTextSearch = true;
  info.DefaultWindow = u"main";
  info.IsBinaryIndex = false;
  info.IsBinaryTOC = true;
  info.DefaultFont = u"Arial,8,0";
  CWindowEntry second;
  second.WindowType = u"second";
  second.Jump2Text = u"Back";
  info.Windows = {FullWindow(), second};
  info.MergeList = {u"other.chm"};
  info.AliasList = {CAliasEntry(10, u"intro.htm"), CAliasEntry(20, u"sub\\page.htm")};
  info.Files = {u"intro.htm", u"sub\\page.htm"};
  return info;
}

TEST(CHhpInfoText, FullAndEmptyProject) {
  EXPECT_EQ(FullInfo().ToString().ToUtf8(), testdata::Read("help", "full_project.hhp"));
  // Without windows, files or aliases only the options remain.
  EXPECT_EQ(CHhpInfo().ToString().ToUtf8(), testdata::Read("help", "empty_project.hhp"));
}

// Rows: presence bits, position (left, top, right, bottom), the line of a window with width 255 and
// tab 10; a width or tab without its presence bit stays out of the line.
TEST(CWindowEntryText, LinesByPresenceBits) {
  for (const auto& row : testdata::Rows("help", "window_lines.tsv")) {
    ASSERT_EQ(row.size(), 6u);
    CWindowEntry w;
    w.WindowType = u"main";
    w.TitleBarText = u"Help";
    w.ValidMask = std::stoi(row[0], nullptr, 0);
    w.Position = RECT{std::stoi(row[1]), std::stoi(row[2]), std::stoi(row[3]), std::stoi(row[4])};
    w.Width = 255;
    w.DefaultPaneTab = 10;
    EXPECT_EQ(w.ToString().ToUtf8(), row[5]);
  }
}

TEST(CHhpInfo, InitSkippedFieldsFromDefaultWindow) {
  CWindowEntry first = FullWindow(), last = FullWindow();
  first.WindowType = u"first";
  last.TitleBarText = u"Last";
  last.TOCFile = u"last.hhc";
  CHhpInfo info;
  info.Windows = {first, FullWindow(), last};
  info.DefaultWindow = u"main";
  info.IndexFile = u"own.hhk";
  info.InitSkippedFields();
  EXPECT_EQ(info.Title, u"Last");  // the last window of the default type
  EXPECT_EQ(info.ContentsFile, u"last.hhc");
  EXPECT_EQ(info.DefaultTopic, u"home.htm");
  EXPECT_EQ(info.IndexFile, u"own.hhk");  // set fields are kept

  info = CHhpInfo();
  info.Windows = {first};
  info.DefaultWindow = u"MAIN";  // exact match only: falls back to the first
  info.InitSkippedFields();
  EXPECT_EQ(info.ContentsFile, u"a.hhc");
}

// Recreated through the registry; a writer that knew only the title leaves
// every other field as it was.
TEST(CHhpInfoProp, RoundTripsThroughTheRegistryAndAbsentNodesKeepFields) {
  const std::unique_ptr<CProp> back = langtest::RegistryCopy(CHhpInfoProp(FullInfo()));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(&back->GetPropClass(), &CHhpInfoProp::classInstance);
  EXPECT_EQ(static_cast<const CHhpInfoProp&>(*back).Get(), FullInfo());

  const testutil::Bytes partial = testutil::Write([](Serial::ISerialStream& s) {
    CString title(u"New title");
    Serial::InNode(s, u"Title", [&] { return Serial::Do(s, title); });
  });
  Serial::MemoryStreamIn in(partial.data(), static_cast<unsigned int>(partial.size()));
  Serial::Binary::BinarySerialTreeIn tree;
  ASSERT_TRUE(tree.Load(in));
  CHhpInfo info = FullInfo(), expected = FullInfo();
  EXPECT_TRUE(info.Do(tree));
  expected.Title = u"New title";
  EXPECT_EQ(info, expected);
}

}  // namespace

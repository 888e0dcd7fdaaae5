// Help project descriptions: the exact project text of a full and of an
// empty project, window lines, completion from the default window, equality,
// and the serial form through the property class registry.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "help/HhpInfo.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/SerialStrategies.h"
#include "serial/SerialTestUtil.h"

namespace {

CWindowEntry FullWindow() {
  CWindowEntry w;
  w.ValidMask = 0x277E;  // every presence bit
  w.WindowType = u"main";
  w.TitleBarText = u"My Help";
  w.TOCFile = u"a.hhc";
  w.IndexFile = u"a.hhk";
  w.DefaultFile = u"intro.htm";
  w.HomeFile = u"home.htm";
  w.Jump1File = u"j1.htm";
  w.Jump1Text = u"Jump 1";
  w.Jump2File = u"j2.htm";
  w.Jump2Text = u"Jump 2";
  w.NavPaneStyle = 0x2520;
  w.Width = 200;
  w.bfButtonsShow = 0x3006;
  w.Position = RECT{10, 20, 300, 400};
  w.Style = 0x80000000;
  w.StyleEx = 0x200;
  w.ShowState = 5;
  w.IsClosed = 1;
  w.DefaultPane = 0;
  w.DefaultPaneTab = 2;
  w.NotifyId = 0x1234;
  return w;
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
  info.Windows.push_back(FullWindow());
  CWindowEntry second;
  second.WindowType = u"second";
  second.Jump2Text = u"Back";
  info.Windows.push_back(second);
  info.MergeList = {u"other.chm"};
  info.AliasList = {CAliasEntry(10, u"intro.htm"), CAliasEntry(20, u"sub\\page.htm")};
  info.Files = {u"intro.htm", u"sub\\page.htm"};
  return info;
}

TEST(CHhpInfoText, FullProject) {
  EXPECT_EQ(FullInfo().ToString().ToUtf8(),
            "[OPTIONS]\n"
            "Display compile progress=Yes\n"
            "Auto Index=No\n"
            "Binary Index=No\n"
            "Binary TOC=Yes\n"
            "Compatibility=1.0\n"
            "Compiled file=help.chm\n"
            "Contents file=a.hhc\n"
            "Create CHI file=Yes\n"
            "Default Font=Arial,8,0\n"
            "Default Window=main\n"
            "Default topic=intro.htm\n"
            "Full-text search=Yes\n"
            "Index file=a.hhk\n"
            "Language=0x409\n"
            "Title=My Help\n"
            "\n"
            "[WINDOWS]\n"
            "main=\"My Help\",\"a.hhc\",\"a.hhk\",\"intro.htm\",\"home.htm\",\"j1.htm\","
            "\"Jump 1\",\"j2.htm\",\"Jump 2\",0x2520,0xC8,0x3006,[10,20,300,400],0x80000000,"
            "0x200,0x5,0x1,0x0,0x2,0x1234\n"
            "second=\"\",,,,,,,,\"Back\",,,,,,,,,,,0x0\n"
            "\n"
            "[MERGE FILES]\n"
            "other.chm\n"
            "\n"
            "[FILES]\n"
            "intro.htm\n"
            "sub\\page.htm\n"
            "\n"
            "[ALIAS]\n"
            "IDH_10 = intro.htm\n"
            "IDH_20 = sub\\page.htm\n"
            "\n"
            "[MAP]\n"
            "#define IDH_10 10\n"
            "#define IDH_20 20\n"
            "\n"
            "\n");
}

TEST(CHhpInfoText, DefaultProjectHasOnlyOptions) {
  EXPECT_EQ(CHhpInfo().ToString().ToUtf8(),
            "[OPTIONS]\n"
            "Display compile progress=Yes\n"
            "Auto Index=Yes\n"
            "Binary Index=Yes\n"
            "Binary TOC=No\n"
            "Compatibility=1.1 or later\n"
            "Compiled file=out.chm\n"
            "Create CHI file=No\n"
            "Error log file=error.log\n"
            "Full-text search=No\n"
            "Language=0x0\n"
            "\n"
            "\n");
}

TEST(CWindowEntryText, LinesByPresenceBits) {
  // A width or tab without its presence bit stays out of the line.
  const struct {
    const char16_t* toc;
    int mask;
    RECT position;
    int width;
    unsigned long tab, notify;
    const char* line;
  } cases[] = {
      {u"a.hhc", 0, {}, 7, 3, 0, "main=\"Help\",\"a.hhc\",,,,,,,,,,,,,,,,,,0x0"},
      {u"",
       0x10,
       {10, 20, 300, 400},
       7,
       0,
       0,
       "main=\"Help\",,,,,,,,,,,,[10,20,300,400],,,,,,,0x0"},
      {u"", 0x10, {-5, -1, 0, 1}, 0, 0, 0, "main=\"Help\",,,,,,,,,,,,[-5,-1,0,1],,,,,,,0x0"},
      {u"", 0x420, {}, 255, 10, 0xABC, "main=\"Help\",,,,,,,,,,0xFF,,,,,,,,0xA,0xABC"},
  };
  for (const auto& c : cases) {
    CWindowEntry w;
    w.WindowType = u"main";
    w.TitleBarText = u"Help";
    w.TOCFile = c.toc;
    w.ValidMask = c.mask;
    w.Position = c.position;
    w.Width = c.width;
    w.DefaultPaneTab = c.tab;
    w.NotifyId = c.notify;
    EXPECT_EQ(w.ToString().ToUtf8(), c.line);
  }
  // Eight string slots, ten number slots, then the notify id.
  EXPECT_EQ(CWindowEntry().ToString().ToUtf8(), "=\"\"" + std::string(19, ',') + "0x0");
}

TEST(CHhpInfo, InitSkippedFieldsFromDefaultWindow) {
  CHhpInfo none;
  none.InitSkippedFields();
  EXPECT_EQ(none, CHhpInfo());

  CHhpInfo info;
  CWindowEntry first = FullWindow();
  first.WindowType = u"first";
  first.TitleBarText = u"First";
  CWindowEntry chosen = FullWindow();
  chosen.TitleBarText = u"Help";
  CWindowEntry last = FullWindow();
  last.TitleBarText = u"Last";
  last.TOCFile = u"last.hhc";
  info.Windows = {first, chosen, last};
  info.DefaultWindow = u"main";
  info.IndexFile = u"own.hhk";
  info.InitSkippedFields();
  EXPECT_EQ(info.Title, u"Last");  // the last window of the default type
  EXPECT_EQ(info.ContentsFile, u"last.hhc");
  EXPECT_EQ(info.DefaultTopic, u"home.htm");
  EXPECT_EQ(info.IndexFile, u"own.hhk");  // set fields are kept

  info = CHhpInfo();
  info.Windows = {first, chosen};
  info.DefaultWindow = u"MAIN";  // exact match only: falls back to the first
  info.Title = u"Kept";
  info.InitSkippedFields();
  EXPECT_EQ(info.Title, u"Kept");
  EXPECT_EQ(info.IndexFile, u"a.hhk");
  EXPECT_EQ(info.ContentsFile, u"a.hhc");
}

TEST(CHhpInfo, EveryFieldTakesPartInEqualityAndOrder) {
  const std::vector<std::function<void(CHhpInfo&)>> changes = {
      [](CHhpInfo& i) { i.Version = 1; },
      [](CHhpInfo& i) { i.AutoIndex = true; },
      [](CHhpInfo& i) { i.AutoTOC = 0; },
      [](CHhpInfo& i) { i.CreateCHI = false; },
      [](CHhpInfo& i) { i.TargetFile = u"Help.chm"; },
      [](CHhpInfo& i) { i.ErrorLogFile = u"e.log"; },
      [](CHhpInfo& i) { i.ContentsFile = u"b.hhc"; },
      [](CHhpInfo& i) { i.IndexFile = u"b.hhk"; },
      [](CHhpInfo& i) { i.DefaultTopic = u"x.htm"; },
      [](CHhpInfo& i) { i.Title = u"my help"; },
      [](CHhpInfo& i) { i.lcid = 1033; },
      [](CHhpInfo& i) { i.Language = 1031; },
      [](CHhpInfo& i) { i.IsFullTextSearch = false; },
      [](CHhpInfo& i) { i.DefaultWindow = u"other"; },
      [](CHhpInfo& i) { i.IsBinaryIndex = true; },
      [](CHhpInfo& i) { i.IsBinaryTOC = false; },
      [](CHhpInfo& i) { i.DefaultFont = u"Tahoma,8,0"; },
      [](CHhpInfo& i) { i.Windows[0].Position.bottom = 401; },
      [](CHhpInfo& i) { i.Windows[0].NotifyId = 1; },
      [](CHhpInfo& i) { i.Windows[1].Jump2Text = u"back"; },
      [](CHhpInfo& i) { std::swap(i.Windows[0], i.Windows[1]); },
      [](CHhpInfo& i) { i.MergeList.clear(); },
      [](CHhpInfo& i) { i.AliasList[1].id = 21; },
      [](CHhpInfo& i) { i.AliasList[0].val = u"Intro.htm"; },
      [](CHhpInfo& i) { i.Files.push_back(u"more.htm"); },
  };
  const CHhpInfo base = FullInfo();
  EXPECT_EQ(base, FullInfo());
  EXPECT_FALSE(base < FullInfo());
  for (size_t n = 0; n < changes.size(); ++n) {
    CHhpInfo changed = FullInfo();
    changes[n](changed);
    EXPECT_NE(base, changed) << "change " << n;
    EXPECT_NE(base < changed, changed < base) << "change " << n;
  }
}

// Written with its class name, recreated through the registry; a writer
// that knew only the title leaves every other field as it was.
TEST(CHhpInfoProp, RoundTripsThroughTheRegistryAndAbsentNodesKeepFields) {
  EXPECT_EQ(CHhpInfoProp::classInstance.GetName(), Serial::NodeName(u"HhpInfoProp"));
  Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
  Serial::SerialClassStrategy<CProp> strategy(factory);
  const CHhpInfoProp original(FullInfo());
  const std::unique_ptr<CProp> copy(original.Clone());
  CProp* read = copy.get();
  const testutil::Bytes bytes =
      testutil::Write([&](Serial::ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, read)); });
  read = nullptr;
  testutil::Read(bytes, [&](Serial::ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, read)); });
  const std::unique_ptr<CProp> owned(read);
  ASSERT_NE(owned, nullptr);
  EXPECT_EQ(&owned->GetPropClass(), &CHhpInfoProp::classInstance);
  EXPECT_EQ(static_cast<const CHhpInfoProp&>(*owned).Get(), FullInfo());

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

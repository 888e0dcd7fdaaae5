// Path texts as stored (Windows form) and the same functions on real files of
// the scratch folder: normalizing, resolving, relating, temporary folders,
// confirmed deletion and whole-file transfer.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FileTestUtil.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/StringResources.h"
#include "platform/TestData.h"
#include "services/PathUtil.h"

namespace {

// Stored path texts, one line per case in testdata/path_texts.tsv.
TEST(PathTextTest, Texts) {
  const auto cell = [](const std::string& text) {
    return text == "<empty>" ? CString() : CString::FromUtf8(text);
  };
  const std::map<std::string, std::function<CString(const std::vector<CString>&)>> ops = {
      {"NormalizePath", [](const auto& a) { return NormalizePath(a[0]); }},
      {"IsPathAbsolute", [](const auto& a) { return CString(IsPathAbsolute(a[0]) ? u"1" : u"0"); }},
      {"IsEqualPath", [](const auto& a) { return CString(IsEqualPath(a[0], a[1]) ? u"1" : u"0"); }},
      {"GetAbsolutePath", [](const auto& a) { return GetAbsolutePath(a[0], a[1]); }},
      {"GetRelativePath", [](const auto& a) { return GetRelativePath(a[0], a[1]); }},
      {"ExtractFileDir", [](const auto& a) { return ExtractFileDir(a[0]); }},
      {"ExtractFileName", [](const auto& a) { return ExtractFileName(a[0]); }},
      {"ExtractFileExt", [](const auto& a) { return ExtractFileExt(a[0]); }},
      {"DeleteLastSlash", [](const auto& a) { return DeleteLastSlash(a[0]); }},
  };
  for (const auto& row : testdata::Rows("services", "path_texts.tsv")) {
    ASSERT_GE(row.size(), 3u);
    std::vector<CString> args;
    for (size_t i = 1; i + 1 < row.size(); ++i) args.push_back(cell(row[i]));
    EXPECT_EQ(ops.at(row[0])(args), cell(row.back())) << row[0] << " " << row[1];
  }
  const CString programDir = GetProgramDir();
  ASSERT_EQ(programDir.Right(1), CString(u"\\"));
  EXPECT_FALSE(Files::RealPath(ToNativePath(programDir)).empty());
}

TEST(PathFilesTest, StoredPathsReachRealFiles) {
  const CString scratch = Files::FromNativePath(ScratchDir());
  ASSERT_EQ(Files::MakeDir(ToNativePath(scratch + u"\\sub")), 0);
  const unsigned char bytes[] = {1, 2, 0, 255};
  const CString file = GetAbsolutePath(scratch + u"\\sub", u"..\\sub\\.\\f.txt");
  ASSERT_TRUE(WriteFile(file, bytes, 4));
  int size = -1;
  std::unique_ptr<unsigned char[]> data(ReadFile(NormalizePath(scratch + u"//sub//f.txt"), size));
  ASSERT_EQ(size, 4);
  EXPECT_EQ(0, std::memcmp(data.get(), bytes, 4));
  size = 42;
  EXPECT_EQ(ReadFile(scratch + u"\\missing", size), nullptr);
  EXPECT_EQ(size, 42);  // untouched
  EXPECT_FALSE(WriteFile(scratch + u"\\missing\\f", bytes, 4));
}

TEST(PathFilesTest, TempFolderIsMadeAndRemovedWithContents) {
  const CString name = getTempFileName();
  EXPECT_EQ(name.Left(Files::FromNativePath(Files::TempDir()).GetLength() + 4),
            Files::FromNativePath(Files::TempDir()) + u"\\LOC");
  EXPECT_EQ(name.Right(4), CString(u".tmp"));
  const CString dir = CreateTempDir();
  ASSERT_EQ(dir.Right(1), CString(u"\\"));
  EXPECT_EQ(ExtractFileName(DeleteLastSlash(dir)).Left(3), CString(u"loc"));
  ASSERT_EQ(Files::MakeDir(ToNativePath(dir + u"nested")), 0);
  const unsigned char byte = 7;
  ASSERT_TRUE(WriteFile(dir + u"nested\\.hidden", &byte, 1));
  DeleteFolder(dir);
  EXPECT_FALSE(Files::Exists(ToNativePath(dir)));
}

TEST(PathFilesTest, DeleteFileIfExistsAsksFirst) {
  const CString scratch = Files::FromNativePath(ScratchDir());
  const CString file = scratch + u"\\f.txt";
  StringResources::Loader oldLoader = StringResources::SetLoader([](int id, CString& text) {
    text = id == 313 ? u"Delete %s?" : u"Could not delete";
    return id == 313 || id == 314;
  });
  int answer = MsgBox::IDNO;
  std::vector<CString> asked;
  MsgBox::Sink oldSink = MsgBox::SetSink([&](const CString& text, unsigned type) {
    asked.push_back(text + (type == MsgBox::MB_YESNO ? u"" : u" (not yes/no)"));
    return answer;
  });
  PanelLog panel;
  const unsigned char byte = 1;
  EXPECT_TRUE(DeleteFileIfExists(file));  // nothing there: nobody asked
  ASSERT_TRUE(WriteFile(file, &byte, 1));
  EXPECT_FALSE(DeleteFileIfExists(file));
  answer = MsgBox::IDYES;
  EXPECT_TRUE(DeleteFileIfExists(file));
  EXPECT_FALSE(Files::Exists(ToNativePath(file)));
  EXPECT_EQ(asked, std::vector<CString>(2, u"Delete " + file + u"?"));
  EXPECT_TRUE(panel.messages.empty());
  EXPECT_FALSE(DeleteFileIfExists(scratch));  // a folder is not a file
  ASSERT_EQ(panel.messages.size(), 1u);
  EXPECT_EQ(panel.messages[0].text, CString(u"Could not delete"));
  EXPECT_EQ(panel.messages[0].type, CMessagePanelMsg::ErrorReport);
  MsgBox::SetSink(oldSink);
  StringResources::SetLoader(oldLoader);
}

}  // namespace

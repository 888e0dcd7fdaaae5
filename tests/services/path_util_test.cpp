// Path texts as stored (Windows form) and the same functions on real files of
// the scratch folder: normalizing, resolving, relating, temporary folders,
// confirmed deletion and whole-file transfer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "FileTestUtil.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/StringResources.h"
#include "services/MiscUtil.h"
#include "services/PathUtil.h"

namespace {

// One line per case; the expected texts are CStrings so failures print.
TEST(PathTextTest, Texts) {
  EXPECT_EQ(NormalizePath(u"C:/a//b/"), CString(u"C:\\a\\b"));
  EXPECT_EQ(NormalizePath(u"\\\\srv\\share\\x"), CString(u"\\\\srv\\share\\x"));  // UNC kept
  EXPECT_EQ(NormalizePath(u"a\\\\\\b"), CString(u"a\\\\b"));  // one pass: three become two
  EXPECT_EQ(NormalizePath(u"C:\\"), CString(u"C:"));
  EXPECT_EQ(NormalizePath(u"//srv/x"), CString(u"\\\\srv\\x"));
  for (const char16_t* path : {u"\\\\srv\\share", u"C:", u"/tmp/x"})
    EXPECT_TRUE(IsPathAbsolute(path));
  for (const char16_t* path : {u"C:x", u"a\\b", u""}) EXPECT_FALSE(IsPathAbsolute(path));
  EXPECT_TRUE(IsEqualPath(u"C:\\A\\b", u"c:/a/B/"));
  EXPECT_FALSE(IsEqualPath(u"C:\\A\\b", u"C:\\A\\c"));
  EXPECT_EQ(GetAbsolutePath(u"C:\\p\\", u".\\a\\..\\b\\"), CString(u"C:\\p\\b"));
  EXPECT_EQ(GetAbsolutePath(u"C:\\p", u"..\\..\\..\\q"), CString(u"C:\\q"));   // not above root
  EXPECT_EQ(GetAbsolutePath(u"C:\\p", u"D:\\x\\.\\y"), CString(u"D:\\x\\y"));  // base ignored
  EXPECT_EQ(GetAbsolutePath(u"C:\\p", u"<OutputDir>\\x"), CString(u"<OutputDir>\\x"));
  EXPECT_EQ(GetRelativePath(u"C:\\P", u"c:\\p\\f.txt"), CString(u".\\f.txt"));
  EXPECT_EQ(GetRelativePath(u"C:\\p\\q\\s", u"C:\\f.txt"), CString(u"..\\..\\..\\f.txt"));
  EXPECT_EQ(GetRelativePath(u"C:\\p\\", u"D:\\p\\f.txt"), CString(u"D:\\p\\f.txt"));  // no root
  EXPECT_EQ(GetRelativePath(u"a\\b", u"c\\d"), CString(u"c\\d"));
  EXPECT_EQ(ExtractFileDir(u"C:\\a\\b.txt"), CString(u"C:\\a\\"));
  EXPECT_EQ(ExtractFileDir(u"noext"), CString());
  EXPECT_EQ(ExtractFileName(u"C:\\a.d\\b.tar.gz"), CString(u"b.tar"));
  EXPECT_EQ(ExtractFileExt(u"C:\\a\\b.txt"), CString(u".txt"));
  EXPECT_EQ(ExtractFileExt(u"C:\\a.d\\noext"), CString());
  EXPECT_EQ(DeleteLastSlash(u"C:\\a\\"), CString(u"C:\\a"));
  EXPECT_EQ(DeleteLastSlash(u"C:\\"), CString(u"C:\\"));
  EXPECT_EQ(DeleteLastSlash(u"\\"), CString(u"\\"));
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
  EXPECT_TRUE(IsEqualPath(file, CString::FromUtf8(ToNativePath(file)) + u"/"));
  ASSERT_TRUE(WriteFile(file, bytes, 0));
  data.reset(ReadFile(file, size));
  EXPECT_TRUE(data != nullptr && size == 0);
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

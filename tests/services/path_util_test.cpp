// Path texts as stored (Windows form) and the same functions on real files of
// the scratch folder: normalizing, resolving, relating, temporary folders,
// confirmed deletion and whole-file transfer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "FileTestUtil.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/StringResources.h"
#include "services/MiscUtil.h"
#include "services/PathUtil.h"

namespace {

struct Case {
  const char16_t* a;
  const char16_t* b;
  const char16_t* expected;
};

TEST(PathTextTest, NormalizePath) {
  const Case cases[] = {
      {u"C:/a//b/", nullptr, u"C:\\a\\b"},
      {u"\\\\srv\\share\\x", nullptr, u"\\\\srv\\share\\x"},  // UNC opening kept
      {u"C:\\a\\b", nullptr, u"C:\\a\\b"},
      {u"a\\\\\\b", nullptr, u"a\\\\b"},  // one pass: three become two
      {u"C:\\", nullptr, u"C:"},
      {u"//srv/x", nullptr, u"\\\\srv\\x"},
      {u"", nullptr, u""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NormalizePath(c.a), CString(c.expected)) << CString(c.a).ToUtf8();
}

TEST(PathTextTest, IsPathAbsolute) {
  EXPECT_TRUE(IsPathAbsolute(u"C:\\x"));
  EXPECT_TRUE(IsPathAbsolute(u"\\\\srv\\share"));
  EXPECT_TRUE(IsPathAbsolute(u"C:"));
  EXPECT_TRUE(IsPathAbsolute(u"/tmp/x"));  // the single root of this machine
  EXPECT_FALSE(IsPathAbsolute(u"C:x"));
  EXPECT_FALSE(IsPathAbsolute(u"a\\b"));
  EXPECT_FALSE(IsPathAbsolute(u""));
}

TEST(PathTextTest, EqualAbsoluteAndRelative) {
  EXPECT_TRUE(IsEqualPath(u"C:\\A\\b", u"c:/a/B/"));
  EXPECT_FALSE(IsEqualPath(u"C:\\A\\b", u"C:\\A\\c"));

  const Case absolute[] = {
      {u"C:\\p", u"..\\q", u"C:\\q"},
      {u"C:\\p\\", u".\\a\\..\\b\\", u"C:\\p\\b"},
      {u"C:\\p", u"..\\..\\..\\q", u"C:\\q"},   // never above the root
      {u"C:\\p", u"D:\\x\\.\\y", u"D:\\x\\y"},  // the base is ignored
      {u"C:\\p", u"<OutputDir>\\x", u"<OutputDir>\\x"},
  };
  for (const Case& c : absolute) {
    EXPECT_EQ(GetAbsolutePath(c.a, c.b), CString(c.expected)) << CString(c.b).ToUtf8();
  }
  const Case relative[] = {
      {u"C:\\p\\", u"C:\\p\\sub\\f.txt", u".\\sub\\f.txt"},
      {u"C:\\P", u"c:\\p\\f.txt", u".\\f.txt"},
      {u"C:\\p\\q\\", u"C:\\p\\r\\f.txt", u"..\\r\\f.txt"},
      {u"C:\\p\\q\\s", u"C:\\f.txt", u"..\\..\\..\\f.txt"},
      {u"C:\\p\\", u"D:\\p\\f.txt", u"D:\\p\\f.txt"},  // no common root
      {u"a\\b", u"c\\d", u"c\\d"},
  };
  for (const Case& c : relative) {
    EXPECT_EQ(GetRelativePath(c.a, c.b), CString(c.expected)) << CString(c.b).ToUtf8();
  }
}

TEST(PathTextTest, PartsAndSlashes) {
  EXPECT_EQ(ExtractFileDir(u"C:\\a\\b.txt"), CString(u"C:\\a\\"));
  EXPECT_EQ(ExtractFileName(u"C:\\a\\b.txt"), CString(u"b"));
  EXPECT_EQ(ExtractFileExt(u"C:\\a\\b.txt"), CString(u".txt"));
  EXPECT_EQ(ExtractFileName(u"C:\\a.d\\b.tar.gz"), CString(u"b.tar"));
  EXPECT_EQ(ExtractFileExt(u"C:\\a.d\\noext"), CString());
  EXPECT_EQ(ExtractFileDir(u"noext"), CString());
  EXPECT_EQ(DeleteLastSlash(u"C:\\a\\"), CString(u"C:\\a"));
  EXPECT_EQ(DeleteLastSlash(u"C:\\"), CString(u"C:\\"));
  EXPECT_EQ(DeleteLastSlash(u"\\"), CString(u"\\"));
  EXPECT_EQ(DeleteLastSlash(u"a"), CString(u"a"));
  const CString programDir = GetProgramDir();
  ASSERT_FALSE(programDir.IsEmpty());
  EXPECT_EQ(programDir[programDir.GetLength() - 1], u'\\');
  EXPECT_TRUE(IsDir(ToNativePath(programDir)));
}

TEST(PathFilesTest, StoredPathsReachRealFiles) {
  const CString scratch = Files::FromNativePath(ScratchDir());
  ASSERT_EQ(Files::MakeDir(ToNativePath(scratch + u"\\p")), 0);
  ASSERT_EQ(Files::MakeDir(ToNativePath(scratch + u"\\p\\sub")), 0);
  const unsigned char bytes[] = {1, 2, 0, 255};
  const CString file = GetAbsolutePath(scratch + u"\\p\\sub", u"..\\sub\\.\\f.txt");
  EXPECT_EQ(file, scratch + u"\\p\\sub\\f.txt");
  ASSERT_TRUE(WriteFile(file, bytes, 4));

  int size = -1;
  std::unique_ptr<unsigned char[]> data(ReadFile(NormalizePath(scratch + u"//p/sub//f.txt"), size));
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(size, 4);
  EXPECT_EQ(0, std::memcmp(data.get(), bytes, 4));
  EXPECT_EQ(GetRelativePath(scratch + u"\\p\\", file), CString(u".\\sub\\f.txt"));
  EXPECT_TRUE(IsEqualPath(file, CString::FromUtf8(ToNativePath(file)) + u"/"));

  // Empty writes, missing files and folders.
  ASSERT_TRUE(WriteFile(file, bytes, 0));
  data.reset(ReadFile(file, size));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(size, 0);
  size = 42;
  EXPECT_EQ(ReadFile(scratch + u"\\missing", size), nullptr);
  EXPECT_EQ(size, 42);
  EXPECT_FALSE(WriteFile(scratch + u"\\missing\\f", bytes, 4));
}

TEST(PathFilesTest, TempFolderIsMadeAndRemovedWithContents) {
  const CString name = getTempFileName();
  const CString temp = Files::FromNativePath(Files::TempDir());
  ASSERT_EQ(name.Left(temp.GetLength() + 4), temp + u"\\LOC");
  EXPECT_EQ(name.Right(4), CString(u".tmp"));
  EXPECT_FALSE(Files::Exists(ToNativePath(name)));

  const CString dir = CreateTempDir();
  ASSERT_FALSE(dir.IsEmpty());
  EXPECT_EQ(dir[dir.GetLength() - 1], u'\\');
  EXPECT_EQ(ExtractFileName(DeleteLastSlash(dir)).Left(3), CString(u"loc"));
  ASSERT_TRUE(IsDir(ToNativePath(dir)));
  ASSERT_EQ(Files::MakeDir(ToNativePath(dir + u"nested")), 0);
  const unsigned char byte = 7;
  ASSERT_TRUE(WriteFile(dir + u"nested\\.hidden", &byte, 1));
  ASSERT_TRUE(WriteFile(dir + u"top.txt", &byte, 1));
  DeleteFolder(dir);
  EXPECT_FALSE(Files::Exists(ToNativePath(dir)));
}

TEST(PathFilesTest, TempFolderFailureIsShown) {
  const std::string missing = ScratchDir() + "/missing";
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("TMPDIR", missing.c_str(), 1);
  std::vector<CString> shown;
  MsgBox::Sink previous = MsgBox::SetSink([&](const CString& text, unsigned type) {
    shown.push_back(text);
    EXPECT_EQ(type, MsgBox::MB_OK);
    return MsgBox::IDOK;
  });
  const CString dir = CreateTempDir();
  MsgBox::SetSink(previous);
  old != nullptr ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");

  EXPECT_EQ(dir, CString());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], u"Can't create directory in temp: \"" + Files::FromNativePath(missing) +
                          u"\" (No such file or directory)");
}

TEST(PathFilesTest, DeleteFileIfExistsAsksFirst) {
  const CString scratch = Files::FromNativePath(ScratchDir());
  const CString file = scratch + u"\\f.txt";
  StringResources::Loader oldLoader = StringResources::SetLoader([](int id, CString& text) {
    if (id == 313) text = u"Delete %s?";
    if (id == 314) text = u"Could not delete";
    return id == 313 || id == 314;
  });
  int answer = MsgBox::IDNO;
  std::vector<CString> asked;
  MsgBox::Sink oldSink = MsgBox::SetSink([&](const CString& text, unsigned type) {
    EXPECT_EQ(type, MsgBox::MB_YESNO);
    asked.push_back(text);
    return answer;
  });
  PanelLog panel;
  const unsigned char byte = 1;

  EXPECT_TRUE(DeleteFileIfExists(file));  // nothing there: nobody asked
  EXPECT_TRUE(asked.empty());
  ASSERT_TRUE(WriteFile(file, &byte, 1));
  EXPECT_FALSE(DeleteFileIfExists(file));
  EXPECT_TRUE(Files::Exists(ToNativePath(file)));
  answer = MsgBox::IDYES;
  EXPECT_TRUE(DeleteFileIfExists(file));
  EXPECT_FALSE(Files::Exists(ToNativePath(file)));
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1], u"Delete " + file + u"?");
  EXPECT_TRUE(panel.messages.empty());

  EXPECT_FALSE(DeleteFileIfExists(scratch));  // a folder is not a file
  ASSERT_EQ(panel.messages.size(), 1u);
  EXPECT_EQ(panel.messages[0].text, CString(u"Could not delete"));
  EXPECT_EQ(panel.messages[0].type, CMessagePanelMsg::ErrorReport);

  MsgBox::SetSink(oldSink);
  StringResources::SetLoader(oldLoader);
}

}  // namespace

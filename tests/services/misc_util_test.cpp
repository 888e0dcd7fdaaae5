// External programs (every line reported, exit codes, programs that print
// nothing, cannot start or overflow the pipe), the run report file, the PE
// checksum against an independent sum.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FileTestUtil.h"
#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "services/MiscUtil.h"
#include "services/PathUtil.h"

namespace {

TEST(ProcessTest, CommandLineSplitsByWindowsRules) {
  const std::vector<CString> args =
      Process::CommandLineToArgv(u" a \"b c\"  d\\\"e f\\\\\"g h\" i\\j \"x\"\"y\"");
  const std::vector<CString> expected = {u"a", u"b c", u"d\"e", u"f\\g h", u"i\\j", u"x\"y"};
  EXPECT_EQ(args, expected);
  EXPECT_TRUE(Process::CommandLineToArgv(u"  ").empty());
}

TEST(ProcessTest, OutputIsReportedInWholeLinesAndTheExitCodeReturned) {
  std::u16string big;  // 5000 lines of 41 bytes, far beyond a 64 KB pipe buffer
  for (int i = 0; i < 5000; ++i) big += u"0123456789012345678901234567890123456789\n";
  const struct {
    const char16_t* program;
    const char16_t* args;
    const char16_t* dir;
    bool lines;  // report lines as they arrive
    bool ok;
    unsigned long exitCode;  // 99: untouched, the program never started
    std::u16string output;
  } cases[] = {
      {u"/bin/sh", u"-c \"printf 'one\\ntwo\\n'; printf 'err\\n' >&2; printf 'tail'; exit 3\"",
       nullptr, true, false, 3, u"one\ntwo\nerr\ntail"},
      {u"/bin/sh", u"-c \"echo a; echo b; exit 1\"", nullptr, false, false, 1, u"a\nb\n"},
      {u"/bin/sh", u"-c \"kill -9 $$\"", nullptr, false, false, 128 + 9, u""},
      {u"/bin/sh", u"-c \"yes 0123456789012345678901234567890123456789 | head -n 5000\"", nullptr,
       true, true, 0, big},
      {u"/nonexistent/program", u"", nullptr, true, false, 99, u"old"},
      {u"/bin/sh", u"-c true", u"/nonexistent/folder", true, false, 99, u"old"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(CString(c.args).ToUtf8());
    PanelLog panel;
    unsigned long exitCode = 99;
    CString output = u"old";
    EXPECT_EQ(ExecuteExternalFileEx(exitCode, output, c.lines, c.program, c.args, c.dir), c.ok);
    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_EQ(output.str(), c.output);
    EXPECT_EQ(panel.All(), c.exitCode == 99 ? CString() : output);
    // Lines as they arrive, else one message at the end.
    if (!c.output.empty() && c.exitCode != 99) EXPECT_EQ(panel.messages.size() > 1, c.lines);
    for (size_t i = 0; i < panel.messages.size(); ++i) {
      EXPECT_EQ(panel.messages[i].type, CMessagePanelMsg::ProcessOutput);
      if (i + 1 < panel.messages.size()) EXPECT_EQ(panel.messages[i].text.Right(1), u"\n");
    }
  }
}

// Reading short, odd and over-long files is held to the layout by the
// fuzz_file_readers oracle over its corpus; the holder writes at exit.
TEST(RunReportTest, LayoutAndDeletion) {
  const CString path = Files::FromNativePath(ScratchDir()) + u"\\report.bin";
  EXPECT_EXIT(
      {
        MiscUtil::RunReportFileHolder::Instance().SetFileName(path).SetResult(3).SetText(u"OK");
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  int size = 0;
  std::unique_ptr<unsigned char[]> bytes(ReadFile(path, size));
  const unsigned char expected[] = {3, 0, 0, 0, 'O', 0, 'K', 0};
  ASSERT_EQ(size, 8);
  EXPECT_EQ(0, std::memcmp(bytes.get(), expected, 8));
  MiscUtil::RunReportFile report;
  EXPECT_TRUE(report.SetFileName(path).Delete());
  EXPECT_FALSE(report.Exists());
  EXPECT_FALSE(report.Delete());
  EXPECT_FALSE(report.Read());
}

// The sum as the image-help documentation states it, written independently:
// a plain 64-bit sum of little-endian words with the four bytes of the
// CheckSum field as zeros, folded to 16 bits at the end, plus the file length.
uint32_t ExpectedChecksum(const std::vector<unsigned char>& file, size_t field) {
  const auto byteAt = [&](size_t i) { return i >= field && i < field + 4 ? 0u : file[i]; };
  uint64_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) {
    sum += byteAt(i) + (i + 1 < file.size() ? byteAt(i + 1) * 256u : 0u);
  }
  while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + file.size());
}

TEST(ChecksumTest, PeImageSumSkipsTheHeaderField) {
  const CString path = Files::FromNativePath(ScratchDir()) + u"\\image.exe";
  // A header at an odd offset (as fuzzing found) puts the field across words;
  // the odd length leaves a half word at the end.
  std::vector<unsigned char> image(515);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<unsigned char>(i * 37 + 11);
  const size_t pe = 0x89, field = pe + 24 + 64;
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = static_cast<unsigned char>(pe);
  image[0x3D] = image[0x3E] = image[0x3F] = 0;
  std::memcpy(&image[pe], "PE\0\0", 4);
  image[pe + 24] = 0x0B;  // PE32 optional header magic
  image[pe + 25] = 0x01;
  ASSERT_TRUE(WriteFile(path, image.data(), static_cast<int>(image.size())));
  EXPECT_EQ(GetChecksum(path), ExpectedChecksum(image, field));
  EXPECT_NE(ExpectedChecksum(image, image.size()), ExpectedChecksum(image, field));
  // Not an image: every word counts. "MZ" alone is 0x5A4D plus 2 bytes.
  ASSERT_TRUE(WriteFile(path, image.data(), 2));
  EXPECT_EQ(GetChecksum(path), 0x5A4Fu);
  EXPECT_EQ(GetChecksum(path + u".missing"), 0u);
}

}  // namespace

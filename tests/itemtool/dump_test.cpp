// Tests of the dump printer and of the file handling behind `itemtool dump`:
// exact text and JSON for hand-built streams, name escaping, hostile depth,
// malformed streams and the exit statuses of missing and gzip files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "Dump.h"
#include "Example.h"
#include "platform/CString.h"
#include "serial/BinarySerialOut.h"
#include "serial/SerialDo.h"
#include "serial/Streams.h"

namespace itemtool {
namespace {

using Bytes = std::vector<unsigned char>;
using Serial::NodeName;

Bytes Write(const std::function<void(Serial::ISerialStream&)>& body,
            Serial::VersionInfo version = Serial::UNDEFINED_SCHEME_VERSION) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out, version);
    body(writer);
  }
  return out.data();
}

void Field(Serial::ISerialStream& s, const Bytes& bytes) {
  s.WriteField(static_cast<unsigned int>(bytes.size()), bytes.data());
}

// Dumps `bytes`; `ok` tells whether the stream was accepted.
std::string Dump(const Bytes& bytes, DumpFormat format, bool* ok = nullptr) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  std::ostringstream out;
  const bool accepted = DumpStream(in, format, out);
  if (ok) *ok = accepted;
  return out.str();
}

// Children written out of order, to be printed in the dump's order: fields,
// anonymous nodes as written, string names ordinally, then byte names.
void MixedTree(Serial::ISerialStream& s) {
  Field(s, {0x07, 0x00, 0x00, 0x00});
  s.EnterNode(static_cast<unsigned char>(0x02));
  s.LeaveNode();
  s.EnterNode(u"b");
  Field(s, {0xAB});
  s.LeaveNode();
  s.EnterNode(NodeName());
  Field(s, {0x01});
  s.LeaveNode();
  s.EnterNode(u"a");
  s.EnterNode(NodeName());
  s.LeaveNode();
  s.LeaveNode();
  s.EnterNode(static_cast<unsigned char>(0x01));
  s.LeaveNode();
  s.EnterNode(u"B");
  s.LeaveNode();
  s.EnterNode(NodeName());
  Field(s, {0x02});
  s.LeaveNode();
  Field(s, {0xFF});
}

TEST(DumpText, OrdersFieldsThenAnonymousThenNamedByNameType) {
  bool ok = false;
  const std::string text = Dump(Write(MixedTree), DumpFormat::kText, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(text,
            "Root\n"
            "  [0] 07000000\n"
            "  [1] ff\n"
            "  -\n"
            "    [0] 01\n"
            "  -\n"
            "    [0] 02\n"
            "  B\n"
            "  a\n"
            "    -\n"
            "  b\n"
            "    [0] ab\n"
            "  0x01\n"
            "  0x02\n");
}

TEST(DumpJson, OrdersLikeTextAndCarriesTheVersion) {
  bool ok = false;
  const std::string json =
      Dump(Write(MixedTree, Serial::VersionInfo(7, 1, 2, 3)), DumpFormat::kJson, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(json,
            "{\"version\": \"7.1.2.3\", \"root\": {\"name\": \"Root\", "
            "\"fields\": [\"07000000\", \"ff\"], \"nodes\": ["
            "{\"name\": null, \"fields\": [\"01\"], \"nodes\": []}, "
            "{\"name\": null, \"fields\": [\"02\"], \"nodes\": []}, "
            "{\"name\": \"B\", \"fields\": [], \"nodes\": []}, "
            "{\"name\": \"a\", \"fields\": [], \"nodes\": ["
            "{\"name\": null, \"fields\": [], \"nodes\": []}]}, "
            "{\"name\": \"b\", \"fields\": [\"ab\"], \"nodes\": []}, "
            "{\"name\": 1, \"fields\": [], \"nodes\": []}, "
            "{\"name\": 2, \"fields\": [], \"nodes\": []}]}}\n");
}

Bytes Sized(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(0xA0 + i);
  return bytes;
}

// Text shows at most sixteen bytes of a field, JSON every byte; the default
// version omits a zero sub-build.
TEST(DumpFields, TextCutsAtSixteenBytesJsonShowsAll) {
  const Bytes stream = Write([](Serial::ISerialStream& s) {
    for (size_t size : {0, 1, 15, 16, 17, 300}) Field(s, Sized(size));
  });
  EXPECT_EQ(Dump(stream, DumpFormat::kText),
            "Root\n"
            "  [0] (empty)\n"
            "  [1] a0\n"
            "  [2] a0a1a2a3a4a5a6a7a8a9aaabacadae\n"
            "  [3] a0a1a2a3a4a5a6a7a8a9aaabacadaeaf\n"
            "  [4] a0a1a2a3a4a5a6a7a8a9aaabacadaeaf... (17 bytes)\n"
            "  [5] a0a1a2a3a4a5a6a7a8a9aaabacadaeaf... (300 bytes)\n");
  std::string fields;
  for (size_t size : {0, 1, 15, 16, 17, 300}) {
    fields += fields.empty() ? "\"" : ", \"";
    for (unsigned char b : Sized(size)) {
      fields += "0123456789abcdef"[b >> 4];
      fields += "0123456789abcdef"[b & 15];
    }
    fields += "\"";
  }
  EXPECT_EQ(Dump(stream, DumpFormat::kJson),
            "{\"version\": \"6.0.5865\", \"root\": {\"name\": \"Root\", \"fields\": [" + fields +
                "], \"nodes\": []}}\n");
}

// Quote, backslash, control characters (first, newline, last), the first
// printable and DEL, a two-byte, a surrogate pair and a lone surrogate.
const char16_t kAwkwardName[] = {u'q', u'"', u'\\',  0x00,   u'\n',  0x1F, u' ',
                                 0x7F, 0xE9, 0xD83D, 0xDE00, 0xDC00, u'z'};

TEST(DumpNames, JsonEscapesAndTextPrintsAsIsBothInUtf8) {
  const Bytes stream = Write([](Serial::ISerialStream& s) {
    s.EnterNode(NodeName(CString(kAwkwardName, sizeof(kAwkwardName) / sizeof(char16_t))));
    s.LeaveNode();
    s.EnterNode(static_cast<unsigned char>(0xFF));
    s.LeaveNode();
  });
  EXPECT_EQ(Dump(stream, DumpFormat::kJson),
            "{\"version\": \"6.0.5865\", \"root\": {\"name\": \"Root\", \"fields\": [], "
            "\"nodes\": [{\"name\": \"q\\\"\\\\\\u0000\\u000a\\u001f \x7f\xc3\xa9"
            "\xf0\x9f\x98\x80\xef\xbf\xbdz\", \"fields\": [], \"nodes\": []}, "
            "{\"name\": 255, \"fields\": [], \"nodes\": []}]}}\n");
  EXPECT_EQ(Dump(stream, DumpFormat::kText),
            std::string("Root\n  q\"\\") + '\0' +
                "\n\x1f \x7f\xc3\xa9\xf0\x9f\x98\x80\xef\xbf\xbdz\n"
                "  0xff\n");
}

// Counts what is written without keeping it: the deep dumps are hundreds of
// megabytes.
class CountingBuf : public std::streambuf {
 public:
  size_t bytes = 0;
  size_t lines = 0;
  size_t longest = 0;
  std::string current;
  std::string last;  // the last complete line

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) {
      const char ch = static_cast<char>(c);
      xsputn(&ch, 1);
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    bytes += static_cast<size_t>(n);
    const char* const end = s + n;
    for (;;) {
      const char* const newline = static_cast<const char*>(std::memchr(s, '\n', end - s));
      if (!newline) {
        current.append(s, end);
        return n;
      }
      current.append(s, newline);
      ++lines;
      longest = std::max(longest, current.size());
      last.swap(current);
      current.clear();
      s = newline + 1;
    }
  }
};

// A hostile nesting depth must neither overflow the stack nor make the text
// grow with the square of the depth.
class DumpDeep : public testing::Test {
 protected:
  static constexpr size_t kDepth = 1000000;

  static void SetUpTestSuite() {
    stream_ = new Bytes(Write([](Serial::ISerialStream& s) {
      for (size_t i = 0; i < kDepth; ++i) s.EnterNode(NodeName());
      Field(s, {0x2A});
      for (size_t i = 0; i < kDepth; ++i) s.LeaveNode();
    }));
  }
  static void TearDownTestSuite() {
    delete stream_;
    stream_ = nullptr;
  }

  static Bytes* stream_;
};
Bytes* DumpDeep::stream_ = nullptr;

TEST_F(DumpDeep, TextCapsTheIndentAndShowsTheLevel) {
  Serial::MemoryStreamIn in(stream_->data(), static_cast<unsigned int>(stream_->size()));
  CountingBuf buf;
  std::ostream out(&buf);
  ASSERT_TRUE(DumpStream(in, DumpFormat::kText, out));
  size_t expected = 0;
  for (size_t level = 0; level <= kDepth + 1; ++level) {
    expected += 2 * std::min(level, kMaxIndentLevels) + 2;  // indent, "-" or "Root", '\n'
    if (level > kMaxIndentLevels) expected += std::to_string(level).size() + 3;  // "<N> "
  }
  expected += 3 + 5;  // "Root" is three longer than "-"; "[0] 2a" is five longer
  EXPECT_EQ(buf.lines, kDepth + 2);
  EXPECT_EQ(buf.bytes, expected);
  EXPECT_EQ(buf.last, std::string(2 * kMaxIndentLevels, ' ') + "<1000001> [0] 2a");
  EXPECT_EQ(buf.longest, buf.last.size());
  EXPECT_EQ(buf.current, "");
}

TEST_F(DumpDeep, JsonNestsEveryLevel) {
  Serial::MemoryStreamIn in(stream_->data(), static_cast<unsigned int>(stream_->size()));
  CountingBuf buf;
  std::ostream out(&buf);
  ASSERT_TRUE(DumpStream(in, DumpFormat::kJson, out));
  const std::string head = "{\"version\": \"6.0.5865\", \"root\": ";
  const std::string root = "{\"name\": \"Root\", \"fields\": [], \"nodes\": [";
  const std::string inner = "{\"name\": null, \"fields\": [], \"nodes\": [";
  const std::string deepest = "{\"name\": null, \"fields\": [\"2a\"], \"nodes\": [";
  EXPECT_EQ(buf.lines, 1u);
  EXPECT_EQ(buf.bytes, head.size() + root.size() + (kDepth - 1) * inner.size() + deepest.size() +
                           2 * (kDepth + 1) + 2);
  EXPECT_EQ(buf.last.substr(0, head.size() + root.size() + inner.size()), head + root + inner);
  EXPECT_EQ(buf.last.substr(buf.last.size() - 7), "]}]}]}}");
}

TEST(DumpStream, RejectsEveryTruncationOfAValidStream) {
  const Bytes stream = Write(MixedTree);
  bool ok = false;
  Dump(stream, DumpFormat::kText, &ok);
  ASSERT_TRUE(ok);
  for (size_t size = 0; size < stream.size(); ++size) {
    const Bytes prefix(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size));
    ok = true;
    EXPECT_EQ(Dump(prefix, DumpFormat::kJson, &ok), "") << "prefix of " << size << " bytes";
    EXPECT_FALSE(ok) << "prefix of " << size << " bytes";
  }
}

TEST(DumpStream, RejectsMalformedStreams) {
  const Bytes valid = Write(MixedTree);
  struct Case {
    const char* what;
    Bytes bytes;
  };
  std::vector<Case> cases;
  Bytes unknownMarker = valid;
  unknownMarker[unknownMarker.size() - 1] = 0x17;
  cases.push_back({"unknown marker", unknownMarker});
  Bytes extraEnd = valid;
  extraEnd.push_back(0x19);
  cases.push_back({"end without a node", extraEnd});
  Bytes trailing = valid;
  trailing.push_back(0x00);
  cases.push_back({"trailing byte", trailing});
  cases.push_back({"no Root", Write([](Serial::ISerialStream&) {})});
  cases.back().bytes.resize(98);  // the header alone
  const Bytes badNameType = {0x18, 0x03, 0x19};
  cases.push_back({"unknown name type", badNameType});
  Bytes longName = {0x18, 0x01, 201};
  longName.resize(longName.size() + 402, 'x');
  longName.push_back(0x19);
  cases.push_back({"name longer than 200 units", longName});
  const Bytes hugeField = {0x1A, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  cases.push_back({"field size past the end", hugeField});
  for (const Case& c : cases) {
    bool ok = true;
    EXPECT_EQ(Dump(c.bytes, DumpFormat::kText, &ok), "") << c.what;
    EXPECT_FALSE(ok) << c.what;
  }
}

class DumpFileTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* base = std::getenv("ITEMLIB_TEST_TMP");
    dir_ = std::filesystem::path(base ? base : std::filesystem::temp_directory_path().string()) /
           ("dump_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string PathOf(const char* name) const { return (dir_ / name).string(); }

  int Run(const std::string& path, DumpFormat format = DumpFormat::kText) {
    out_.str("");
    err_.str("");
    return DumpFile(path, format, out_, err_);
  }

  std::filesystem::path dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(DumpFileTest, UnusableFilesFailWithOneLine) {
  const std::string bad = PathOf("bad.serial");
  std::ofstream(bad) << "\x18\x01";
  const struct {
    std::string path;
    int status;
    const char* message;
  } cases[] = {
      {PathOf("absent.serial"), kExitUnreadable, "cannot open: No such file or directory"},
      {dir_.string(), kExitUnreadable, "is a directory"},
      {bad, kExitMalformed, "not a valid serial file"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.path), c.status) << c.path;
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "itemtool: " + c.path + ": " + c.message + "\n");
  }
}

TEST_F(DumpFileTest, PlainAndGzipFilesDumpAlike) {
  const Bytes stream = Write(MixedTree);
  const std::string expected = Dump(stream, DumpFormat::kJson);
  const std::string plain = PathOf("plain.serial");
  {
    Serial::FileStreamOut file(CString::FromUtf8(plain));
    ASSERT_TRUE(file.IsOpen());
    file.write(stream.data(), static_cast<unsigned int>(stream.size()));
  }
  const std::string gz = PathOf("packed.serial.gz");
  {
    Serial::GZFileStreamOut file(CString::FromUtf8(gz), 9);
    ASSERT_TRUE(file.IsOpen());
    file.write(stream.data(), static_cast<unsigned int>(stream.size()));
  }
  EXPECT_EQ(Run(plain, DumpFormat::kJson), kExitOk);
  EXPECT_EQ(out_.str(), expected);
  EXPECT_EQ(Run(gz, DumpFormat::kJson), kExitOk);
  EXPECT_EQ(out_.str(), expected);
  EXPECT_EQ(err_.str(), "");
}

TEST_F(DumpFileTest, ExampleFileIsGzipAndHoldsTheExampleGraph) {
  const std::string path = PathOf("example.serial.gz");
  CString error;
  ASSERT_TRUE(WriteExampleFile(path, error));
  std::ifstream file(path, std::ios::binary);
  char magic[2] = {};
  file.read(magic, 2);
  EXPECT_EQ(static_cast<unsigned char>(magic[0]), 0x1F);
  EXPECT_EQ(static_cast<unsigned char>(magic[1]), 0x8B);
  EXPECT_EQ(Run(path), kExitOk);
  EXPECT_EQ(out_.str(), Dump(Write(WriteExampleGraph), DumpFormat::kText));
}

TEST_F(DumpFileTest, ExampleToAMissingFolderFails) {
  CString error;
  EXPECT_FALSE(WriteExampleFile(PathOf("no/such/folder.gz"), error));
  EXPECT_EQ(error.ToUtf8(), "No such file or directory");
}

}  // namespace
}  // namespace itemtool

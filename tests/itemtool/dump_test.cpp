// The dump printer behind `itemtool dump`: child order, field cuts, name
// escaping, hostile depth and malformed streams. Files and exit statuses are
// checked from the command line (cli_test.cmake).
#include "Dump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/TestData.h"
#include "serial/SerialTestUtil.h"

namespace itemtool {
namespace {

using Serial::NodeName;
using testutil::Bytes;
using testutil::Write;

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
Bytes MixedTree() {
  return testutil::Stream(testutil::FromHex(
      "1A 04 00 00 00 07 00 00 00 18 02 02 19 18 01 01 62 00 1A 01 00 00 00 AB 19 "
      "18 00 1A 01 00 00 00 01 19 18 01 01 61 00 18 00 19 19 18 02 01 19 18 01 01 42 00 19 "
      "18 00 1A 01 00 00 00 02 19 1A 01 00 00 00 FF"));
}

TEST(DumpText, OrdersFieldsThenAnonymousThenNamedByNameType) {
  bool ok = false;
  EXPECT_EQ(Dump(MixedTree(), DumpFormat::kText, &ok),
            testdata::Read("itemtool", "mixed-tree.txt"));
  EXPECT_TRUE(ok);
}

// Text shows at most sixteen bytes of a field (JSON shows all: example.json);
// the expected dumps are under testdata/.
TEST(DumpFields, TextCutsAtSixteenBytes) {
  const Bytes stream = Write([](Serial::ISerialStream& s) {
    for (size_t size : {0, 1, 15, 16, 17, 300}) {
      Bytes bytes(size);
      for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(0xA0 + i);
      Field(s, bytes);
    }
  });
  EXPECT_EQ(Dump(stream, DumpFormat::kText), testdata::Read("itemtool", "cut-fields.txt"));
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
  EXPECT_EQ(Dump(stream, DumpFormat::kJson), testdata::Read("itemtool", "awkward-names.json"));
  EXPECT_EQ(Dump(stream, DumpFormat::kText),
            std::string("Root\n  q\"\\") + '\0' +
                "\n\x1f \x7f\xc3\xa9\xf0\x9f\x98\x80\xef\xbf\xbdz\n"
                "  0xff\n");
}

// A hostile nesting depth must neither overflow the stack nor make the text
// grow with the square of the depth (the indent is capped, the level shown);
// JSON nests every level.
TEST(DumpDeep, TextCapsTheIndentJsonNestsEveryLevel) {
  const size_t depth = 200000;
  const Bytes stream = Write([](Serial::ISerialStream& s) {
    for (size_t i = 0; i < depth; ++i) s.EnterNode(NodeName());
    Field(s, {0x2A});
    for (size_t i = 0; i < depth; ++i) s.LeaveNode();
  });
  const std::string text = Dump(stream, DumpFormat::kText), json = Dump(stream, DumpFormat::kJson);
  EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')), depth + 2);
  EXPECT_LT(text.size(), (depth + 2) * (2 * kMaxIndentLevels + 16));
  const std::string last = "\n" + std::string(2 * kMaxIndentLevels, ' ') + "<200001> [0] 2a\n";
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
  const size_t inner = std::string("{\"name\": null, \"fields\": [], \"nodes\": [").size();
  EXPECT_EQ(json.size(), 73 + depth * inner + 4 + 2 * (depth + 1) + 2);
  EXPECT_EQ(json.substr(json.size() - 8), "]}]}]}}\n");
}

// Every prefix, a trailing byte and an unknown marker; the tree loader's own
// faults are proven in its tests.
TEST(DumpStream, RejectsTruncatedAndMalformedStreams) {
  const Bytes valid = MixedTree();
  std::vector<Bytes> cases{valid, valid};
  cases[0].push_back(0x00);
  cases[1].back() = 0x17;
  for (size_t size = 0; size < valid.size(); ++size) {
    cases.emplace_back(valid.begin(), valid.begin() + static_cast<long>(size));
  }
  for (const Bytes& bytes : cases) {
    bool ok = true;
    EXPECT_EQ(Dump(bytes, DumpFormat::kJson, &ok), "") << testutil::Hex(bytes);
    EXPECT_FALSE(ok) << testutil::Hex(bytes);
  }
}

}  // namespace
}  // namespace itemtool

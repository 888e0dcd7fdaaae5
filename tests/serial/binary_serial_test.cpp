// The binary writer and reader: exact bytes of the format, round trips of
// every plain value, and the structural faults that must throw FormatIO.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "SerialTestUtil.h"
#include "serial/SerialDo.h"

using Serial::ISerialStream;
using Serial::NodeName;
using Serial::VersionInfo;
using Serial::Exceptions::FormatIO;
using testutil::Bytes;
using testutil::FromHex;
using testutil::Hex;
using testutil::Layout;

namespace {

TEST(BinarySerialOut, ExactBytesOfHeaderNodesAndFields) {
  EXPECT_EQ(Hex(testutil::Write([](ISerialStream&) {})), Layout("empty stream"));
  EXPECT_EQ(Hex(testutil::WriteBody([](ISerialStream& s) {
              int one = 1;
              CString empty, text(u"ab");
              tagRECT rect{1, -1, 2, 3};
              s.EnterNode(NodeName(u"A"));
              Serial::Do(s, one);
              s.LeaveNode();
              s.EnterNode(NodeName(static_cast<unsigned char>(0x64)));
              s.LeaveNode();
              s.EnterNode(NodeName());
              s.LeaveNode();
              Serial::Do(s, empty);
              Serial::Do(s, text);
              Serial::Do(s, rect);
            })),
            Layout("nodes and fields"));
  Serial::MemoryStreamOut out;  // an explicit version is written instead
  Serial::Binary::BinarySerialOut(out, VersionInfo(7, 1, 2, 3));
  testutil::Read(out.Take(), [](ISerialStream& s) {
    EXPECT_EQ(s.GetSchemeVersion(), VersionInfo(7, 1, 2, 3));
  });
}

// Fields and string node names of every length up to past the writer's
// short-copy sizes: each byte lands where it belongs, the head included.
TEST(BinarySerialOut, FieldsAndNamesOfEveryLength) {
  for (unsigned int size = 0; size <= 40; ++size) {
    Bytes field(size);
    for (unsigned int i = 0; i < size; ++i) field[i] = static_cast<unsigned char>(0xA0 + i);
    const std::u16string name(size / 2, u'n');
    const Bytes body = testutil::WriteBody([&](ISerialStream& s) {
      s.EnterNode(NodeName(name.c_str()));
      s.WriteField(size, field.data());
      s.LeaveNode();
    });
    Bytes expect = {0x18, 0x01, static_cast<unsigned char>(name.size())};
    for (size_t i = 0; i < name.size(); ++i) expect.insert(expect.end(), {'n', 0});
    expect.insert(expect.end(), {0x1A, static_cast<unsigned char>(size), 0, 0, 0});
    expect.insert(expect.end(), field.begin(), field.end());
    expect.push_back(0x19);
    EXPECT_EQ(Hex(body), Hex(expect)) << size;
  }
  // An overlong name keeps the low eight bits of its length: 300 = 0x12C.
  const Bytes body = testutil::WriteBody([&](ISerialStream& s) {
    s.EnterNode(NodeName(CString(u'x', 300)));
    s.LeaveNode();
  });
  EXPECT_EQ(Hex(Bytes(body.begin(), body.begin() + 5)), "18 01 2C 78 00");
  EXPECT_EQ(body.size(), 3u + 0x2C * 2 + 1);
}

// Writes `value`, checks the field's width and returns what reads back.
template <typename T>
T RoundTrip(T value, unsigned int width, T back = T{}) {
  const Bytes body =
      testutil::WriteBody([&](ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, value)); });
  EXPECT_EQ(body.size(), 5u + width);
  testutil::Read(testutil::Stream(body),
                 [&](ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, back)); });
  return back;
}

TEST(BinarySerialIn, EveryPlainValueRoundTripsAtItsWidth) {
  EXPECT_EQ(RoundTrip<char>('z', 1), 'z');
  EXPECT_EQ(RoundTrip<signed char>(-5, 1), -5);
  EXPECT_EQ(RoundTrip<unsigned char>(0xFE, 1), 0xFE);
  EXPECT_EQ(RoundTrip<bool>(true, 1), true);
  EXPECT_EQ(RoundTrip<bool>(false, 1, true), false);
  EXPECT_EQ(RoundTrip<short>(SHRT_MIN, 2), SHRT_MIN);
  EXPECT_EQ(RoundTrip<unsigned short>(0xBEEF, 2), 0xBEEF);
  EXPECT_EQ(RoundTrip<int>(INT_MIN, 4), INT_MIN);
  EXPECT_EQ(RoundTrip<unsigned int>(0xDEADBEEF, 4), 0xDEADBEEF);
  EXPECT_EQ(RoundTrip<unsigned long>(0xFFFFFFFFul, 4), 0xFFFFFFFFul);
  EXPECT_EQ(RoundTrip<float>(FLT_MIN, 4), FLT_MIN);
  EXPECT_EQ(RoundTrip<double>(-DBL_MAX, 8), -DBL_MAX);
  EXPECT_TRUE(RoundTrip<tagRECT>({INT_MIN, -1, 0, INT_MAX}, 16) ==
              (tagRECT{INT_MIN, -1, 0, INT_MAX}));
  EXPECT_EQ(RoundTrip<CString>(u"caf\u00e9 \U0001F600", 14), CString(u"caf\u00e9 \U0001F600"));
  bool value = false;  // any non-zero byte is true
  testutil::Read(testutil::Stream(FromHex("1A 01 00 00 00 07")),
                 [&](ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, value)); });
  EXPECT_TRUE(value);
}

TEST(BinarySerialIn, WrongWidthGivesFalseAndLeavesValueAndStructureIntact) {
  testutil::Read(testutil::Stream(FromHex(Layout("wrong widths"))), [](ISerialStream& s) {
    short narrow = 9;
    s.EnterNode(NodeName(u"A"));
    EXPECT_FALSE(Serial::Do(s, narrow));
    EXPECT_EQ(narrow, 9);
    EXPECT_NO_THROW(s.LeaveNode());
    double wide = 1.5;
    EXPECT_FALSE(Serial::Do(s, wide));  // the 6-byte string field
    EXPECT_EQ(wide, 1.5);
    CString text(u"keep");
    EXPECT_FALSE(Serial::Do(s, text));  // an odd byte count cannot be UTF-16
    EXPECT_EQ(text, CString(u"keep"));
  });
}

TEST(BinarySerialIn, VariantsRoundTripAndUnsupportedTypesFail) {
  // 16 bytes of the value itself; a string's text follows, with a 4-byte count.
  const std::pair<_variant_t, unsigned int> cases[] = {
      {_variant_t(), 16},     {_variant_t(int32_t{-7}), 16},    {_variant_t(2.25), 16},
      {_variant_t(true), 16}, {_variant_t(u"text \u00e4"), 33}, {_variant_t(u""), 21}};
  for (const auto& [value, width] : cases) {
    EXPECT_TRUE(RoundTrip<_variant_t>(value, width, _variant_t(int32_t{99})) == value) << value.vt;
  }
  // A string's pointer bytes are not written, so two saves are identical.
  _variant_t a(u"same"), b(u"same");
  EXPECT_EQ(testutil::WriteBody([&](ISerialStream& s) { Serial::Do(s, a); }),
            testutil::WriteBody([&](ISerialStream& s) { Serial::Do(s, b); }));

  _variant_t dispatch;
  dispatch.vt = VT_DISPATCH;
  const Bytes body =
      testutil::WriteBody([&](ISerialStream& s) { EXPECT_FALSE(Serial::Do(s, dispatch)); });
  EXPECT_EQ(body.size(), 5u + 16u);
  _variant_t back(int32_t{5});
  testutil::Read(testutil::Stream(body),
                 [&](ISerialStream& s) { EXPECT_FALSE(Serial::Do(s, back)); });
  EXPECT_TRUE(back == _variant_t(int32_t{5}));
}

// Every prefix of a valid stream that cuts into its header or the start of
// "Root" must be refused by the constructor.
TEST(BinarySerialIn, TruncatedHeaderThrows) {
  const Bytes bytes = testutil::Write([](ISerialStream&) {});
  for (size_t length = 0; length < 109; ++length) {
    const Bytes cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
    EXPECT_THROW(testutil::Read(cut, [](ISerialStream&) {}), FormatIO) << length;
  }
  EXPECT_NO_THROW(testutil::Read(Bytes(bytes.begin(), bytes.begin() + 109), [](ISerialStream&) {}));
}

TEST(BinarySerialIn, StructuralFaultsThrow) {
  const std::map<std::string, std::function<void(ISerialStream&)>> reads = {
      {"enter", [](ISerialStream& s) { s.EnterNode(NodeName(u"A")); }},
      {"field",
       [](ISerialStream& s) {
         int v = 0;
         Serial::Do(s, v);
       }},
      {"leave", [](ISerialStream& s) { s.LeaveNode(); }}};
  for (const auto& row : testdata::Rows("serial", "reader_faults.tsv")) {
    EXPECT_THROW(testutil::Read(testutil::Stream(FromHex(row.at(2))), reads.at(row[1])), FormatIO)
        << row[0];
  }
  // Names of up to 200 units only.
  const auto enter = [](const CString& name) {
    return [name](ISerialStream& s) { s.EnterNode(NodeName(name)); };
  };
  const CString limit(u'n', 200), over(u'n', 201);
  EXPECT_NO_THROW(testutil::Read(testutil::Write(enter(limit)), enter(limit)));
  EXPECT_THROW(testutil::Read(testutil::Write(enter(over)), enter(over)), FormatIO);
}

TEST(BinarySerialIn, LargeFieldsCrossReadAheadBlocks) {
  std::vector<CString> texts;
  for (int length : {0, 1, 32767, 32768, 70000, 5}) texts.emplace_back(u'q', length);
  const Bytes bytes = testutil::Write([&](ISerialStream& s) {
    for (CString& t : texts) Serial::Do(s, t);
  });
  testutil::Read(bytes, [&](ISerialStream& s) {
    for (const CString& t : texts) {
      CString back;
      EXPECT_TRUE(Serial::Do(s, back));
      EXPECT_EQ(back, t);
    }
  });
}

// A field's bytes are valid until the next ReadField, however much the
// reader takes in between (here more than its read-ahead holds).
TEST(BinarySerialIn, FieldStaysValidAcrossReadAhead) {
  Bytes body = FromHex("1A 04 00 00 00 61 62 63 64");
  for (int i = 0; i < 50000; ++i) body.insert(body.end(), {0x18, 0x00, 0x19});
  testutil::Read(testutil::Stream(body), [&](ISerialStream& s) {
    unsigned int size = 0;
    const char* field = static_cast<const char*>(s.ReadField(size));
    ASSERT_EQ(size, 4u);
    for (int i = 0; i < 50000; ++i) {
      s.EnterNode(NodeName());
      s.LeaveNode();
    }
    EXPECT_EQ(std::string(field, 4), "abcd");
  });
}

TEST(NodeName, TypesDifferAndUnknownTypeFailsDo) {
  EXPECT_NE(NodeName(static_cast<unsigned char>(1)), NodeName(u"\u0001"));
  NodeName back;
  testutil::Read(testutil::Stream(FromHex("1A 01 00 00 00 03")),
                 [&](ISerialStream& s) { EXPECT_FALSE(back.Do(s)); });
}

}  // namespace

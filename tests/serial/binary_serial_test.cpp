// The binary writer and reader: exact bytes of the format, round trips of
// every plain value, and the structural faults that must throw FormatIO.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <set>
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

namespace {

TEST(BinarySerialOut, EmptyWriterIsHeaderRootAndEnd) {
  const Bytes bytes = testutil::Write([](ISerialStream&) {});
  ASSERT_EQ(bytes.size(), 110u);
  const Bytes major = FromHex("18 01 05 4D 00 61 00 6A 00 6F 00 72 00 1A 04 00 00 00 06 00 00 00 19");
  EXPECT_EQ(Hex(Bytes(bytes.begin(), bytes.begin() + 23)), Hex(major));
  // "Build" is the third node: 23 + 23 bytes in, its value after 18 01 05 + 10 + 1A + size.
  EXPECT_EQ(Hex(Bytes(bytes.begin() + 46, bytes.begin() + 69)),
            "18 01 05 42 00 75 00 69 00 6C 00 64 00 1A 04 00 00 00 E9 16 00 00 19");
  EXPECT_EQ(Hex(Bytes(bytes.begin() + 69, bytes.begin() + 98)),
            "18 01 08 53 00 75 00 62 00 42 00 75 00 69 00 6C 00 64 00 1A 04 00 00 00 00 00 00 00 19");
  EXPECT_EQ(Hex(Bytes(bytes.begin() + 98, bytes.end())),
            "18 01 04 52 00 6F 00 6F 00 74 00 19");

  testutil::Read(bytes, [](ISerialStream& s) {
    EXPECT_TRUE(s.IsReading());
    EXPECT_EQ(s.GetSchemeVersion(), VersionInfo(6, 0, 5865, 0));
  });

  // An explicit version is written and read back instead.
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out, VersionInfo(7, 1, 2, 3));
    EXPECT_FALSE(writer.IsReading());
  }
  testutil::Read(out.data(), [](ISerialStream& s) {
    EXPECT_EQ(s.GetSchemeVersion(), VersionInfo(7, 1, 2, 3));
  });
}

TEST(BinarySerialOut, ExactBytesOfNodesAndFields) {
  EXPECT_EQ(Hex(testutil::WriteBody([](ISerialStream& s) {
              int one = 1;
              s.EnterNode(NodeName(u"A"));
              Serial::Do(s, one);
              s.LeaveNode();
            })),
            "18 01 01 41 00 1A 04 00 00 00 01 00 00 00 19");
  EXPECT_EQ(Hex(testutil::WriteBody([](ISerialStream& s) {
              CString empty;
              Serial::Do(s, empty);
            })),
            "1A 00 00 00 00");
  EXPECT_EQ(Hex(testutil::WriteBody([](ISerialStream& s) {
              s.EnterNode(NodeName(static_cast<unsigned char>(0x64)));
              s.LeaveNode();
              s.EnterNode(NodeName());
              s.LeaveNode();
            })),
            "18 02 64 19 18 00 19");
  EXPECT_EQ(Hex(testutil::WriteBody([](ISerialStream& s) {
              CString text(u"ab");
              tagRECT rect{1, -1, 2, 3};
              Serial::Do(s, text);
              Serial::Do(s, rect);
            })),
            "1A 04 00 00 00 61 00 62 00 "
            "1A 10 00 00 00 01 00 00 00 FF FF FF FF 02 00 00 00 03 00 00 00");
}

TEST(BinarySerialOut, OverlongNameKeepsLowEightBitsOfLength) {
  const CString name(u'x', 300);  // 300 = 0x12C: 0x2C code units follow
  const Bytes body = testutil::WriteBody([&](ISerialStream& s) {
    s.EnterNode(NodeName(name));
    s.LeaveNode();
  });
  ASSERT_EQ(body.size(), 3u + 0x2C * 2 + 1);
  EXPECT_EQ(body[2], 0x2C);
  EXPECT_EQ(body.back(), 0x19);
}

template <typename T>
void ExpectRoundTrip(T value, unsigned int width) {
  const Bytes body = testutil::WriteBody([&](ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, value)); });
  ASSERT_EQ(body.size(), 5u + width);
  T back{};
  testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, back)); });
  EXPECT_TRUE(back == value);
}

TEST(BinarySerialIn, EveryPlainValueRoundTripsAtItsWidth) {
  ExpectRoundTrip<char>('z', 1);
  ExpectRoundTrip<signed char>(-5, 1);
  ExpectRoundTrip<unsigned char>(0xFE, 1);
  ExpectRoundTrip<bool>(true, 1);
  ExpectRoundTrip<bool>(false, 1);
  ExpectRoundTrip<short>(SHRT_MIN, 2);
  ExpectRoundTrip<unsigned short>(0xBEEF, 2);
  ExpectRoundTrip<int>(INT_MIN, 4);
  ExpectRoundTrip<unsigned int>(0xDEADBEEF, 4);
  ExpectRoundTrip<unsigned long>(0xFFFFFFFFul, 4);
  ExpectRoundTrip<float>(FLT_MIN, 4);
  ExpectRoundTrip<double>(-DBL_MAX, 8);
  ExpectRoundTrip<tagRECT>(tagRECT{INT_MIN, -1, 0, INT_MAX}, 16);
  ExpectRoundTrip<CString>(CString(u"caf\u00e9 \U0001F600"), 14);
  // A bool is any non-zero byte.
  bool value = false;
  testutil::Read(testutil::Stream(FromHex("1A 01 00 00 00 07")),
                 [&](ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, value)); });
  EXPECT_TRUE(value);
}

TEST(BinarySerialIn, WrongWidthGivesFalseAndLeavesValueAndStructureIntact) {
  const Bytes bytes = testutil::Write([](ISerialStream& s) {
    int four = 4;
    s.EnterNode(NodeName(u"A"));
    Serial::Do(s, four);
    s.LeaveNode();
    CString text(u"abc");
    Serial::Do(s, text);
  });
  testutil::Read(bytes, [](ISerialStream& s) {
    short narrow = 9;
    s.EnterNode(NodeName(u"A"));
    EXPECT_FALSE(Serial::Do(s, narrow));
    EXPECT_EQ(narrow, 9);
    EXPECT_NO_THROW(s.LeaveNode());
    double wide = 1.5;
    EXPECT_FALSE(Serial::Do(s, wide));  // the 6-byte string field
    EXPECT_EQ(wide, 1.5);
  });
  // An odd byte count cannot be UTF-16.
  testutil::Read(testutil::Stream(FromHex("1A 03 00 00 00 61 00 62")), [](ISerialStream& s) {
    CString text(u"keep");
    EXPECT_FALSE(Serial::Do(s, text));
    EXPECT_EQ(text, CString(u"keep"));
  });
}

TEST(BinarySerialIn, VariantsRoundTripAndUnsupportedTypesFail) {
  std::vector<_variant_t> values;
  values.emplace_back();
  values.emplace_back(int32_t{-7});
  values.emplace_back(2.25);
  values.emplace_back(true);
  values.emplace_back(u"text \u00e4");
  values.emplace_back(u"");
  for (_variant_t& value : values) {
    const Bytes body = testutil::WriteBody([&](ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, value)); });
    _variant_t back(int32_t{99});
    testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { EXPECT_TRUE(Serial::Do(s, back)); });
    EXPECT_TRUE(back == value) << "type " << value.vt;
  }

  // A string's pointer bytes are not written, so two saves are identical.
  _variant_t a(u"same"), b(u"same");
  EXPECT_EQ(testutil::WriteBody([&](ISerialStream& s) { Serial::Do(s, a); }),
            testutil::WriteBody([&](ISerialStream& s) { Serial::Do(s, b); }));

  _variant_t dispatch;
  dispatch.vt = VT_DISPATCH;
  const Bytes body = testutil::WriteBody([&](ISerialStream& s) { EXPECT_FALSE(Serial::Do(s, dispatch)); });
  EXPECT_EQ(body.size(), 5u + 16u);
  dispatch.vt = VT_EMPTY;
  _variant_t back(int32_t{5});
  testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { EXPECT_FALSE(Serial::Do(s, back)); });
  EXPECT_TRUE(back == _variant_t(int32_t{5}));
}

TEST(BinarySerialIn, StringContainersRoundTrip) {
  std::vector<CString> list{u"b", u"", u"a", u"b"};
  std::set<CString> set{u"z", u"y"};
  const Bytes bytes = testutil::Write([&](ISerialStream& s) {
    EXPECT_TRUE(Serial::Do(s, list));
    EXPECT_TRUE(Serial::Do(s, set));
  });
  std::vector<CString> listBack{u"old"};
  std::set<CString> setBack{u"old"};
  testutil::Read(bytes, [&](ISerialStream& s) {
    EXPECT_TRUE(Serial::Do(s, listBack));
    EXPECT_TRUE(Serial::Do(s, setBack));
  });
  EXPECT_EQ(listBack, list);
  EXPECT_EQ(setBack, set);
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
  struct Case {
    const char* name;
    const char* body;
    std::function<void(ISerialStream&)> read;
  };
  auto enterA = [](ISerialStream& s) { s.EnterNode(NodeName(u"A")); };
  auto readInt = [](ISerialStream& s) {
    int v = 0;
    Serial::Do(s, v);
  };
  const Case cases[] = {
      {"other name", "18 01 01 42 00 19", enterA},
      {"other type", "18 02 41 19", enterA},
      {"unknown name type", "18 03 41 19", enterA},
      {"field where node", "1A 00 00 00 00", enterA},
      {"node where field", "18 00 19", readInt},
      {"size past the end", "1A 04 00 00 00 01 00", readInt},
      {"huge size", "1A F0 FF FF FF 01 02 03", readInt},
      {"truncated size", "1A 04 00", readInt},
      {"end of root where field", "", readInt},
      {"leave without end", "1A 00 00 00 00", [](ISerialStream& s) { s.LeaveNode(); }},
      {"name cut short", "18 01 02 41 00", enterA},
  };
  for (const Case& c : cases) {
    const Bytes bytes = testutil::Stream(FromHex(c.body));
    EXPECT_THROW(testutil::Read(bytes, c.read), FormatIO) << c.name;
  }
}

TEST(BinarySerialIn, NameLengthLimitIs200CodeUnits) {
  for (int length : {200, 201}) {
    const CString name(u'n', length);
    auto node = [&](ISerialStream& s) {
      s.EnterNode(NodeName(name));
      s.LeaveNode();
    };
    bool threw = false;
    try {
      testutil::Read(testutil::Write(node), node);
    } catch (const FormatIO&) {
      threw = true;
    }
    EXPECT_EQ(threw, length > 200) << length;
  }
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
  const int nodes = 50000;
  const Bytes bytes = testutil::Write([&](ISerialStream& s) {
    CString text(u"abcd");
    Serial::Do(s, text);
    for (int i = 0; i < nodes; ++i) {
      s.EnterNode(NodeName());
      s.LeaveNode();
    }
    Serial::Do(s, text);
  });
  testutil::Read(bytes, [&](ISerialStream& s) {
    unsigned int size = 0;
    const void* field = s.ReadField(size);
    ASSERT_EQ(size, 8u);
    const std::string before(static_cast<const char*>(field), 8);
    for (int i = 0; i < nodes; ++i) {
      s.EnterNode(NodeName());
      s.LeaveNode();
    }
    EXPECT_EQ(std::string(static_cast<const char*>(field), 8), before);
    CString second;
    EXPECT_TRUE(Serial::Do(s, second));
    EXPECT_EQ(second, CString(u"abcd"));
  });
}

TEST(VersionInfo, TextFormsAndOrder) {
  EXPECT_EQ(VersionInfo::FromString(u"7"), VersionInfo(7, 0, 0, 0));
  EXPECT_EQ(VersionInfo::FromString(u"7").ToString(), CString(u"7.0.0"));
  EXPECT_EQ(VersionInfo(1, 2, 3, 4).ToString(), CString(u"1.2.3.4"));
  EXPECT_EQ(VersionInfo::FromString(u"6.0.5865"), VersionInfo(6, 0, 5865, 0));
  EXPECT_EQ(VersionInfo::FromString(u""), Serial::UNDEFINED_SCHEME_VERSION);
  EXPECT_EQ(VersionInfo::FromString(u"x.5"), VersionInfo(1, 0, 0, 0));
  EXPECT_EQ(VersionInfo::FromString(u"3.x.5"), VersionInfo(3, 0, 0, 0));
  EXPECT_TRUE(VersionInfo(1, 2, 3, 4) < VersionInfo(1, 2, 4, 0));
  EXPECT_TRUE(VersionInfo(1, 9, 9, 9) < VersionInfo(2, 0, 0, 0));
  EXPECT_FALSE(VersionInfo(1, 2, 3, 4) < VersionInfo(1, 2, 3, 4));
  EXPECT_NE(VersionInfo(1, 2, 3, 4), VersionInfo(1, 2, 3, 5));
}

TEST(NodeName, EqualityAndOrder) {
  const NodeName none, none2, a(u"a"), b(u"b"), upperA(u"A"), byte1(static_cast<unsigned char>(1)),
      byte2(static_cast<unsigned char>(2));
  EXPECT_EQ(none, none2);
  EXPECT_FALSE(none < none2);
  EXPECT_NE(a, upperA);
  EXPECT_TRUE(upperA < a);  // ordinal
  EXPECT_TRUE(none < a);
  EXPECT_TRUE(b < byte1);  // type first
  EXPECT_TRUE(byte1 < byte2);
  EXPECT_NE(byte1, NodeName(u"\u0001"));
}

TEST(NodeName, DoRoundTripsEveryTypeAndRejectsUnknownType) {
  for (const NodeName& name : {NodeName(), NodeName(u"Class"), NodeName(static_cast<unsigned char>(7))}) {
    NodeName copy = name;
    const Bytes body = testutil::WriteBody([&](ISerialStream& s) { EXPECT_TRUE(copy.Do(s)); });
    NodeName back(u"other");
    testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { EXPECT_TRUE(back.Do(s)); });
    EXPECT_EQ(back, name);
  }
  NodeName back;
  testutil::Read(testutil::Stream(FromHex("1A 01 00 00 00 03")),
                 [&](ISerialStream& s) { EXPECT_FALSE(back.Do(s)); });
}

}  // namespace

namespace {

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
    EXPECT_EQ(testutil::Hex(body), testutil::Hex(expect)) << size;
  }
}

}  // namespace

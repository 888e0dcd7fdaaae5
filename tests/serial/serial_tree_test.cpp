// The tree stream and the tolerant loader: any order for named nodes, false
// for absent ones, accumulation under a repeated name, and load faults.
#include <gtest/gtest.h>

#include "SerialTestUtil.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/SerialDo.h"

using Serial::ISerialStream;
using Serial::NodeName;
using Serial::SerialTreeField;
using Serial::Binary::BinarySerialTreeIn;
using Serial::Exceptions::FormatIO;
using testutil::Bytes;
using testutil::FromHex;

namespace {

bool Load(BinarySerialTreeIn& tree, const Bytes& bytes) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  return tree.Load(in);
}

void WriteIntNode(ISerialStream& s, const char16_t* name, int value) {
  s.EnterNode(NodeName(name));
  Serial::Do(s, value);
  s.LeaveNode();
}

TEST(SerialTreeField, InlineAndHeapStorage) {
  SerialTreeField field;
  EXPECT_EQ(field.getSize(), 0u);
  const char text[] = "0123456789abcdef";
  field.reset(text, 8);
  EXPECT_EQ(std::string(static_cast<const char*>(field.getData()), 8), "01234567");
  field.reset(text, 16);
  const void* block = field.getData();
  field.reset(text + 4, 12);  // fits the block it has
  EXPECT_EQ(field.getData(), block);
  EXPECT_EQ(std::string(static_cast<const char*>(field.getData()), 12), "456789abcdef");
  SerialTreeField copy(field);
  EXPECT_NE(copy.getData(), field.getData());
  EXPECT_EQ(std::string(static_cast<const char*>(copy.getData()), 12), "456789abcdef");
  copy.reset(text, 3);
  field = copy;
  EXPECT_EQ(field.getSize(), 3u);
  EXPECT_EQ(std::string(static_cast<const char*>(field.getData()), 3), "012");
}

TEST(BinarySerialTreeIn, EmptyBodyGivesVersionAndAbsentNodes) {
  BinarySerialTreeIn tree;
  ASSERT_TRUE(Load(tree, testutil::Write([](ISerialStream&) {})));
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::VersionInfo(6, 0, 5865, 0));
  EXPECT_TRUE(tree.IsReading());
  EXPECT_FALSE(tree.EnterNode(NodeName(u"A")));
  EXPECT_FALSE(tree.EnterNode(NodeName()));
  unsigned int size = 0;
  EXPECT_EQ(tree.ReadField(size), nullptr);
}

TEST(BinarySerialTreeIn, NamedNodesInAnyOrderAndFieldsInOrder) {
  const Bytes bytes = testutil::Write([](ISerialStream& s) {
    WriteIntNode(s, u"A", 1);
    WriteIntNode(s, u"B", 2);
    s.EnterNode(NodeName());
    WriteIntNode(s, u"inner", 3);
    s.LeaveNode();
    s.EnterNode(NodeName());
    s.LeaveNode();
  });
  BinarySerialTreeIn tree;
  ASSERT_TRUE(Load(tree, bytes));
  int b = 0, a = 0, inner = 0, extra = 0;
  ASSERT_TRUE(tree.EnterNode(NodeName(u"B")));
  EXPECT_TRUE(Serial::Do(tree, b));
  EXPECT_FALSE(Serial::Do(tree, extra));  // one field only
  tree.LeaveNode();
  ASSERT_TRUE(tree.EnterNode(NodeName(u"A")));
  EXPECT_TRUE(Serial::Do(tree, a));
  tree.LeaveNode();
  ASSERT_TRUE(tree.EnterNode(NodeName()));
  ASSERT_TRUE(tree.EnterNode(NodeName(u"inner")));
  EXPECT_TRUE(Serial::Do(tree, inner));
  tree.LeaveNode();
  tree.LeaveNode();
  EXPECT_TRUE(tree.EnterNode(NodeName()));
  tree.LeaveNode();
  EXPECT_FALSE(tree.EnterNode(NodeName()));  // no third anonymous child
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(inner, 3);

  // Reset rewinds to the top level, outside "Root".
  tree.Reset();
  EXPECT_FALSE(tree.EnterNode(NodeName(u"A")));
  ASSERT_TRUE(tree.EnterNode(NodeName(Serial::ROOT_NODE_NAME)));
  ASSERT_TRUE(tree.EnterNode(NodeName(u"A")));
  EXPECT_TRUE(Serial::Do(tree, a));
}

TEST(BinarySerialTreeIn, RepeatedNameAccumulatesInOneNode) {
  const Bytes bytes = testutil::Write([](ISerialStream& s) {
    WriteIntNode(s, u"X", 1);
    WriteIntNode(s, u"Y", 2);
    WriteIntNode(s, u"X", 3);
  });
  BinarySerialTreeIn tree;
  ASSERT_TRUE(Load(tree, bytes));
  ASSERT_TRUE(tree.EnterNode(NodeName(u"X")));
  int first = 0, second = 0;
  EXPECT_TRUE(Serial::Do(tree, first));
  EXPECT_TRUE(Serial::Do(tree, second));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 3);
}

TEST(BinarySerialTreeIn, VersionInfoReadsLikeTheSequentialReader) {
  // A header without "SubBuild" and with a wrong-sized "Minor" keeps the
  // defaults of those members.
  const Bytes bytes = FromHex(
      "18 01 05 4D 00 61 00 6A 00 6F 00 72 00 1A 04 00 00 00 09 00 00 00 19 "
      "18 01 05 4D 00 69 00 6E 00 6F 00 72 00 1A 02 00 00 00 05 00 19 "
      "18 01 04 52 00 6F 00 6F 00 74 00 19");
  BinarySerialTreeIn tree;
  ASSERT_TRUE(Load(tree, bytes));
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::VersionInfo(9, 0, 0, 0));
}

TEST(BinarySerialTreeIn, LoadFaults) {
  const Bytes empty = testutil::Write([](ISerialStream&) {});
  struct Case {
    const char* name;
    Bytes bytes;
    bool throws;
  };
  Bytes unknownMarker = empty;
  unknownMarker.insert(unknownMarker.end() - 1, 0x42);
  Bytes cutField = empty;
  cutField.pop_back();
  for (unsigned char b : FromHex("1A 08 00 00 00 01 02")) cutField.push_back(b);
  const Case cases[] = {
      {"open node at end", FromHex("18 01 01 41 00"), true},
      {"no Root", FromHex("18 01 01 41 00 19"), true},
      {"end without node", FromHex("19"), true},
      {"unknown name type", FromHex("18 05 19"), true},
      {"name over 200", [] {
         Bytes b = FromHex("18 01 C9");
         b.resize(b.size() + 402, 0x41);
         b.push_back(0x19);
         return b;
       }(), true},
      {"field past the end", cutField, true},
      {"unknown marker", unknownMarker, false},
  };
  for (const Case& c : cases) {
    BinarySerialTreeIn tree;
    if (c.throws) {
      EXPECT_THROW(Load(tree, c.bytes), FormatIO) << c.name;
    } else {
      EXPECT_FALSE(Load(tree, c.bytes)) << c.name;
    }
  }
  BinarySerialTreeIn tree;
  EXPECT_THROW(Load(tree, Bytes()), FormatIO);  // an empty stream has no "Root"
}

TEST(BinarySerialTreeIn, DeepNestingLoadsAndReleasesWithoutRecursion) {
  const int depth = 200000;
  Bytes bytes = testutil::Write([](ISerialStream&) {});
  bytes.pop_back();
  for (int i = 0; i < depth; ++i) {
    bytes.push_back(0x18);
    bytes.push_back(0x00);
  }
  bytes.insert(bytes.end(), depth, 0x19);
  bytes.push_back(0x19);
  auto tree = std::make_unique<BinarySerialTreeIn>();
  ASSERT_TRUE(Load(*tree, bytes));
  EXPECT_TRUE(tree->EnterNode(NodeName()));
  tree.reset();  // must not overflow the stack
}

TEST(SerialTree, WritingModeRecordsAndResetDiscards) {
  BinarySerialTreeIn tree;  // a fresh tree writes
  EXPECT_FALSE(tree.IsReading());
  WriteIntNode(tree, u"K", 4);
  tree.SetReadingMode(true);
  ASSERT_TRUE(tree.EnterNode(NodeName(u"K")));
  int k = 0;
  EXPECT_TRUE(Serial::Do(tree, k));
  EXPECT_EQ(k, 4);
  tree.SetReadingMode(false);
  tree.SetReadingMode(true);
  EXPECT_FALSE(tree.EnterNode(NodeName(u"K")));  // writing mode's reset emptied it
}

}  // namespace

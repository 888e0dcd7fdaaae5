// The tree stream and the tolerant loader: any order for named nodes, false
// for absent ones, accumulation under a repeated name, and load faults.
#include <gtest/gtest.h>

#include "SerialTestUtil.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/SerialDo.h"

using Serial::ISerialStream;
using Serial::NodeName;
using Serial::Binary::BinarySerialTreeIn;
using Serial::Exceptions::FormatIO;
using testutil::Bytes;
using testutil::FromHex;

namespace {

bool Load(BinarySerialTreeIn& tree, const Bytes& bytes) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  return tree.Load(in);
}

int ReadIntNode(ISerialStream& s, const char16_t* name) {
  int value = -1;
  EXPECT_TRUE(s.EnterNode(NodeName(name))) << name;
  EXPECT_TRUE(Serial::Do(s, value)) << name;
  return value;
}

TEST(BinarySerialTreeIn, NamedNodesInAnyOrderRepeatedNamesAccumulate) {
  // A = 1, B = 2, {I = 3}, {}, A = 4.
  const Bytes bytes = testutil::Stream(FromHex(
      "18 01 01 41 00 1A 04 00 00 00 01 00 00 00 19 18 01 01 42 00 1A 04 00 00 00 02 00 00 00 19 "
      "18 00 18 01 01 49 00 1A 04 00 00 00 03 00 00 00 19 19 18 00 19 "
      "18 01 01 41 00 1A 04 00 00 00 04 00 00 00 19"));
  BinarySerialTreeIn tree;
  ASSERT_TRUE(Load(tree, bytes));
  EXPECT_EQ(ReadIntNode(tree, u"B"), 2);
  int extra = 0;
  EXPECT_FALSE(Serial::Do(tree, extra));  // one field only
  tree.LeaveNode();
  EXPECT_EQ(ReadIntNode(tree, u"A"), 1);
  EXPECT_TRUE(Serial::Do(tree, extra));  // the second "A" went into the first
  EXPECT_EQ(extra, 4);
  tree.LeaveNode();
  ASSERT_TRUE(tree.EnterNode(NodeName()));
  EXPECT_EQ(ReadIntNode(tree, u"I"), 3);
  tree.LeaveNode();
  tree.LeaveNode();
  EXPECT_TRUE(tree.EnterNode(NodeName()));
  tree.LeaveNode();
  EXPECT_FALSE(tree.EnterNode(NodeName()));  // no third anonymous child
  EXPECT_FALSE(tree.EnterNode(NodeName(u"C")));
  unsigned int size = 0;
  EXPECT_EQ(tree.ReadField(size), nullptr);
  tree.Reset();  // back to the top level, outside "Root"
  EXPECT_FALSE(tree.EnterNode(NodeName(u"A")));
  ASSERT_TRUE(tree.EnterNode(NodeName(Serial::ROOT_NODE_NAME)));
  EXPECT_EQ(ReadIntNode(tree, u"A"), 1);
}

TEST(BinarySerialTreeIn, VersionInfoReadsLikeTheSequentialReader) {
  // No "SubBuild" and a wrong-sized "Minor": those members keep defaults.
  BinarySerialTreeIn tree;
  ASSERT_TRUE(
      Load(tree, FromHex("18 01 05 4D 00 61 00 6A 00 6F 00 72 00 1A 04 00 00 00 09 00 00 00 19 "
                         "18 01 05 4D 00 69 00 6E 00 6F 00 72 00 1A 02 00 00 00 05 00 19 "
                         "18 01 04 52 00 6F 00 6F 00 74 00 19")));
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::VersionInfo(9, 0, 0, 0));
}

TEST(BinarySerialTreeIn, LoadFaults) {
  Bytes longName = FromHex("18 01 C9");
  longName.resize(longName.size() + 402, 0x41);
  longName.push_back(0x19);
  const struct {
    const char* name;
    Bytes bytes;
    bool throws;
  } cases[] = {
      {"empty", {}, true},
      {"open node at end", FromHex("18 01 01 41 00"), true},
      {"no Root", FromHex("18 01 01 41 00 19"), true},
      {"end without node", FromHex("19"), true},
      {"unknown name type", FromHex("18 05 19"), true},
      {"name over 200", longName, true},
      {"field past the end", testutil::Stream(FromHex("1A 08 00 00 00 01 02")), true},
      {"unknown marker", testutil::Stream(FromHex("42")), false},
  };
  for (const auto& c : cases) {
    BinarySerialTreeIn tree;
    if (c.throws) {
      EXPECT_THROW(Load(tree, c.bytes), FormatIO) << c.name;
    } else {
      EXPECT_FALSE(Load(tree, c.bytes)) << c.name;
    }
  }
}

TEST(BinarySerialTreeIn, DeepNestingLoadsAndReleasesWithoutRecursion) {
  const int depth = 200000;
  Bytes body;
  for (int i = 0; i < depth; ++i) body.insert(body.end(), {0x18, 0x00});
  body.insert(body.end(), depth, 0x19);
  auto tree = std::make_unique<BinarySerialTreeIn>();
  ASSERT_TRUE(Load(*tree, testutil::Stream(body)));
  EXPECT_TRUE(tree->EnterNode(NodeName()));
  tree.reset();  // must not overflow the stack
}

}  // namespace

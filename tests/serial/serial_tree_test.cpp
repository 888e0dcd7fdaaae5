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
  BinarySerialTreeIn tree;  // A = 1, B = 2, {I = 3}, {}, A = 4
  ASSERT_TRUE(Load(tree, testutil::Stream(FromHex(testutil::Layout("tree")))));
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
  ASSERT_TRUE(Load(tree, FromHex(testutil::Layout("short header"))));
  EXPECT_EQ(tree.GetSchemeVersion(), Serial::VersionInfo(9, 0, 0, 0));
}

TEST(BinarySerialTreeIn, LoadFaults) {
  for (const auto& row : testdata::Rows("serial", "tree_faults.tsv")) {
    BinarySerialTreeIn tree;
    if (row.at(1) == "throws") {
      EXPECT_THROW(Load(tree, FromHex(row.at(2))), FormatIO) << row[0];
    } else {
      EXPECT_FALSE(Load(tree, FromHex(row.at(2)))) << row[0];
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

// Items on serial streams: a whole project written byte for byte as before
// after either reader, the binary paths against the generic one, and damaged,
// hostile or too deep input.
#include <gtest/gtest.h>

#include "ItemTestUtil.h"
#include "platform/TestData.h"
#include "serial/SerialTestUtil.h"

using namespace itemtest;  // NOLINT: test helpers only

namespace {

// Children point at their holder, translations likewise, at every level.
bool Consistent(const CResItem& item) {
  for (const auto& entry : item.GetTransMap()) {
    if (!entry.second || entry.second->GetParent() != &item) return false;
  }
  for (const CResItem* child : item.GetResItems()) {
    if (!child || child->GetParent() != &item || !Consistent(*child)) return false;
  }
  return true;
}

// The sample project writes back byte for byte after either reader.
TEST(ItemSerial, ProjectRoundTripsThroughBothReaders) {
  const std::string file = testdata::Read("items", "sample_project.serial");
  const Bytes saved(file.begin(), file.end());
  std::unique_ptr<CResItem> sequential, tree;
  ASSERT_TRUE(Load(saved, sequential));
  ASSERT_TRUE(LoadTree(saved, tree));
  for (std::unique_ptr<CResItem>* loaded : {&sequential, &tree}) {
    EXPECT_TRUE(Consistent(**loaded));
    EXPECT_EQ(Save(*loaded), saved);
  }
}

// What a load of `bytes` gives: the exception, or the saved form of the tree.
std::string LoadOutcome(const Bytes& bytes, bool generic) {
  std::unique_ptr<CResItem> root;
  try {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
    Serial::Binary::BinarySerialIn reader(in);
    testutil::Forward forward(reader);
    if (!DoProject(generic ? static_cast<Serial::ISerialStream&>(forward) : reader, root)) {
      return "false";
    }
  } catch (const Serial::Exceptions::FormatIO&) {
    return "FormatIO";
  }
  return root ? testutil::Hex(Save(root)) : "null";
}

// The binary writer and reader run the layouts on paths of their own; any
// other stream runs them through its interface. Both write the same bytes
// and read any bytes, damaged ones too, alike; cut streams fail in both
// readers.
TEST(ItemSerial, BinaryPathsMatchTheGenericPath) {
  std::unique_ptr<CResItem> project = SampleProject();
  project->GetResItems()[0]->SetPropW(u"Int", new CVariantProp(_variant_t(int32_t{3})));
  const Bytes saved = Save(project);
  EXPECT_EQ(testutil::Write([&](Serial::ISerialStream& s) {
              testutil::Forward forward(s);
              DoProject(forward, project);
            }),
            saved);
  for (size_t pos = 0; pos < saved.size(); ++pos) {
    const Bytes cut(saved.begin(), saved.begin() + static_cast<long>(pos));
    const std::string outcome = LoadOutcome(cut, false);
    EXPECT_EQ(outcome, LoadOutcome(cut, true)) << pos;
    // The closing byte of "Root" is never read; everything before it is.
    EXPECT_EQ(outcome == "FormatIO" || outcome == "false", pos + 1 < saved.size()) << pos;
    std::unique_ptr<CResItem> root;
    try {
      EXPECT_FALSE(LoadTree(cut, root)) << pos;
    } catch (const Serial::Exceptions::FormatIO&) {
    }
    EXPECT_EQ(root, nullptr) << pos;
    Bytes bad = saved;
    bad[pos] ^= pos % 2 ? 0x01 : 0xFF;
    EXPECT_EQ(LoadOutcome(bad, false), LoadOutcome(bad, true)) << pos;
  }
  // Texts of every length up to 12 units put the reader's block edges at
  // every kind of byte, where the binary path hands over to the reader.
  for (int i = 0; i < 3000; ++i) {
    CResItem* item = NewItem(CString(u'r', i % 13));
    item->AddTransItem(NewTrans(0x407, CString(u'x', i % 11)));
    project->AddResItem(item);
  }
  const Bytes large = Save(project);
  ASSERT_GT(large.size(), 600000u);
  EXPECT_EQ(LoadOutcome(large, false), testutil::Hex(large));
  // A memory stream is written in place; any other gets the writer's blocks.
  struct Blocks : Serial::MemoryStreamOut {} blocks;
  {
    Serial::Binary::BinarySerialOut writer(blocks);
    DoProject(writer, project);
  }
  EXPECT_EQ(blocks.Take(), large);
}

// A chain of `depth` items, each the only child of the one above.
std::unique_ptr<CResItem> Chain(int depth) {
  std::unique_ptr<CResItem> root(new CResItem);
  CResItem* last = root.get();
  for (int i = 1; i < depth; ++i) {
    auto* next = new CResItem;
    last->AddResItem(next);
    last = next;
  }
  return root;
}

TEST(ItemSerial, NestingDepthIsBounded) {
  std::unique_ptr<CResItem> loaded;
  std::unique_ptr<CResItem> deepest = Chain(CResItem::MaxNestingDepth);
  ASSERT_TRUE(Load(Save(deepest), loaded));
  ASSERT_TRUE(LoadTree(Save(deepest), loaded));
  // One more level: the writer refuses what no reader would open.
  std::unique_ptr<CResItem> tooDeep = Chain(CResItem::MaxNestingDepth + 1);
  Serial::MemoryStreamOut out;
  Serial::Binary::BinarySerialOut writer(out);
  EXPECT_FALSE(DoProject(writer, tooDeep));
  loaded.reset();

  // Hostile: every item opens one child, far deeper than the limit; a writer
  // here could not even produce it without recursion.
  const Bytes level = testutil::FromHex(
      "1A 01 00 00 00 00 18 00 18 02 01 1A 04 00 00 00 00 00 00 00 19 19"   // flag, properties
      " 18 02 65 1A 00 00 00 00 19 18 02 66 1A 04 00 00 00 00 00 00 00 19"  // resource id, type
      " 18 02 67 1A 04 00 00 00 01 00 00 00 18 00");                        // one child
  Bytes body;
  for (int i = 0; i < 20 * CResItem::MaxNestingDepth; ++i) {
    body.insert(body.end(), level.begin(), level.end());
  }
  body.insert(body.end(), 2 * 20 * CResItem::MaxNestingDepth, 0x19);
  const Bytes hostile = testutil::Stream(body);
  EXPECT_THROW(Load(hostile, loaded), Serial::Exceptions::FormatIO);
  EXPECT_THROW(LoadTree(hostile, loaded), Serial::Exceptions::FormatIO);
  EXPECT_EQ(loaded, nullptr);
}

}  // namespace

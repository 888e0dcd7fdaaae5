// The property container: exact bytes, reading back without telling the
// handler, writing that stops at a refused value, and damaged input.
#include <gtest/gtest.h>

#include <string>

#include "platform/TestData.h"
#include "props/PropContainer.h"
#include "serial/SerialTestUtil.h"

namespace {

using testutil::Bytes;

Bytes Write(CPropContainer& container) {
  return testutil::Write([&](Serial::ISerialStream& s) { EXPECT_TRUE(container.Do(s)); });
}

Bytes Body(const std::string& hex) { return testutil::Stream(testutil::FromHex(hex)); }

void Read(CPropContainer& container, const Bytes& bytes) {
  testutil::Read(bytes, [&](Serial::ISerialStream& s) { EXPECT_TRUE(container.Do(s)); });
}

// Counts the handler's calls.
struct Counter : IPropContHandler {
  int calls = 0;
  void OnBeforePropChange(const CPropContainer&, const CPropName&, const CProp*,
                          const CProp*) override {
    ++calls;
  }
  void OnAfterPropChange(const CPropContainer&, const CPropName&, const CProp*,
                         const CProp*) override {
    ++calls;
  }
};

TEST(CPropContainer, ExactBytesAndReadReplacesContentSilently) {
  CPropContainer container, empty;
  container.SetPropW(u"Name", new CStrProp(u"x"));
  EXPECT_EQ(testutil::Hex(testutil::WriteBody([&](Serial::ISerialStream& s) { container.Do(s); })),
            "18 02 01 1A 04 00 00 00 01 00 00 00 18 00 "
            "18 00 1A 02 00 00 00 00 00 1A 08 00 00 00 4E 00 61 00 6D 00 65 00 19 "
            "18 00 1A 01 00 00 00 00 1A 01 00 00 00 02 1A 01 00 00 00 64 1A 02 00 00 00 78 00 19 "
            "19 19");
  EXPECT_EQ(testutil::Hex(testutil::WriteBody([&](Serial::ISerialStream& s) { empty.Do(s); })),
            "18 02 01 1A 04 00 00 00 00 00 00 00 19");
  Counter counter;
  CPropContainer back(&counter);
  back.SetPropW(u"old", new CIntProp(1));
  counter.calls = 0;
  Read(back, Write(container));
  EXPECT_TRUE(back == container);
  ASSERT_EQ(back.GetProps().size(), 1u);
  EXPECT_EQ(back.GetPropW(u"Name")->GetStr(), CString(u"x"));
  Read(back, Write(empty));
  EXPECT_TRUE(back.GetProps().empty());
  EXPECT_EQ(counter.calls, 0);  // reading replaces the content silently
}

TEST(CPropContainer, WritingStopsAfterAValueTheFormatRefuses) {
  CPropContainer container;
  container.SetPropW(u"a", new CIntProp(1));
  container.SetPropW(u"b", new CVariantProp(_variant_t(int64_t{5})));  // no 64-bit variants
  container.SetPropW(u"c", new CIntProp(3));
  CPropContainer back;
  Read(back, Write(container));
  ASSERT_EQ(back.GetProps().size(), 1u);
  EXPECT_EQ(back.GetPropW(u"a")->GetInt(), 1);
}

TEST(CPropContainer, DamagedEntriesKeepWhatCameBefore) {
  for (const auto& row : testdata::Rows("props", "damaged_containers.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    SCOPED_TRACE(row[0]);
    CPropContainer container;
    if (row[1] == "1") {
      EXPECT_THROW(testutil::Read(Body(row[2]), [&](Serial::ISerialStream& s) { container.Do(s); }),
                   Serial::Exceptions::FormatIO);
    } else {
      Read(container, Body(row[2]));
    }
    ASSERT_EQ(container.GetProps().size(), 1u);
    EXPECT_EQ(container.GetPropW(u"a")->GetStr(), CString(u"x"));
  }
  CPropContainer empty;
  EXPECT_THROW(Read(empty, Body("18 02 02 19")), Serial::Exceptions::FormatIO);
}

}  // namespace

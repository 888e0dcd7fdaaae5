// The property container: exact bytes, reading back, the handler's view of
// every change, copying and equality, and damaged input.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "props/PropContainer.h"
#include "serial/BinarySerialTreeIn.h"
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

struct Recorder : IPropContHandler {
  std::vector<std::string> calls;  // old text read during the call: it must be alive
  void Put(const char* when, const CProp* oldValue, const CProp* newValue) {
    calls.push_back(std::string(when) + (oldValue ? oldValue->AsString().ToUtf8() : "-") + ">" +
                    (newValue ? newValue->AsString().ToUtf8() : "-"));
  }
  void OnBeforePropChange(const CPropContainer&, const CPropName&, const CProp* o,
                          const CProp* n) override {
    Put("before ", o, n);
  }
  void OnAfterPropChange(const CPropContainer&, const CPropName&, const CProp* o,
                         const CProp* n) override {
    Put("after ", o, n);
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
  Recorder recorder;
  CPropContainer back(&recorder);
  back.SetPropW(u"old", new CIntProp(1));
  recorder.calls.clear();
  Read(back, Write(container));
  EXPECT_TRUE(back == container);
  ASSERT_EQ(back.GetProps().size(), 1u);
  EXPECT_EQ(back.GetPropW(u"Name")->GetStr(), CString(u"x"));
  Read(back, Write(empty));
  EXPECT_TRUE(back.GetProps().empty());
  EXPECT_TRUE(recorder.calls.empty());
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

TEST(CPropContainer, EqualityIgnoresNames) {
  CPropContainer underA, underB;
  underA.SetPropW(u"a", new CIntProp(1));
  underB.SetPropW(u"b", new CIntProp(1));
  EXPECT_TRUE(underA == underB);
  underB.SetPropW(u"b", new CBoolProp(true));
  EXPECT_FALSE(underA == underB);
}

TEST(CPropContainer, DamagedEntriesKeepWhatCameBefore) {
  const std::string entry = "18 00 18 00 1A 02 00 00 00 00 00 1A 02 00 00 00 61 00 19 ";
  const std::string good = entry +
                           "18 00 1A 01 00 00 00 00 1A 01 00 00 00 02 1A 01 00 00 00 64 "
                           "1A 02 00 00 00 78 00 19 19 ";
  const std::string count2 = "18 02 01 1A 04 00 00 00 02 00 00 00 " + good;
  struct Case {
    const char* what;
    std::string body;
    bool throws;
  };
  const Case cases[] = {
      {"unknown class \"Q\"",
       count2 + entry + "18 00 1A 01 00 00 00 00 1A 01 00 00 00 01 1A 02 00 00 00 51 00 19 19 19",
       false},
      // Entries after the bad one sit where the node should end.
      {"unknown class, then more",
       "18 02 01 1A 04 00 00 00 03 00 00 00 " + good + entry +
           "18 00 1A 01 00 00 00 00 1A 01 00 00 00 01 1A 02 00 00 00 51 00 19 19 " + good + "19",
       true},
      {"an int of 2 bytes",
       count2 + entry +
           "18 00 1A 01 00 00 00 00 1A 01 00 00 00 02 1A 01 00 00 00 66 "
           "1A 02 00 00 00 05 00 19 19 19",
       false},
      {"cut inside a class name",
       count2 + entry +
           "18 00 1A 01 00 00 00 00 1A 01 00 00 00 01 1A 08 00 00 00 49 00 6E 00 "
           "74 00 56 00 19",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CPropContainer container;
    if (c.throws) {
      EXPECT_THROW(testutil::Read(Body(c.body), [&](Serial::ISerialStream& s) { container.Do(s); }),
                   Serial::Exceptions::FormatIO);
    } else {
      Read(container, Body(c.body));
    }
    ASSERT_EQ(container.GetProps().size(), 1u);
    EXPECT_EQ(container.GetPropW(u"a")->GetStr(), CString(u"x"));
  }
  CPropContainer empty;
  EXPECT_THROW(Read(empty, Body("18 02 02 19")), Serial::Exceptions::FormatIO);
}

TEST(CPropContainer, TreeReaderRereadsAndToleratesAbsentNode) {
  CPropContainer container, back;
  container.SetPropW(u"a", new CIntProp(4));
  for (const Bytes& bytes : {Write(container), Body("")}) {
    Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
    Serial::Binary::BinarySerialTreeIn tree;
    ASSERT_TRUE(tree.Load(in));
    for (int pass = 0; pass < 2; ++pass) {  // named nodes can be read again
      EXPECT_TRUE(back.Do(tree));
      EXPECT_EQ(back == container, bytes.size() > 120);
    }
  }
  EXPECT_TRUE(back.GetProps().empty());
}

}  // namespace

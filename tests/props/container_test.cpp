// The property container: exact bytes, reading back, the handler's view of
// every change, copying and equality, and damaged input.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "props/PropContainer.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/Streams.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Write(CPropContainer& container) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    EXPECT_TRUE(container.Do(writer));
  }
  return out.data();
}

std::string BodyHex(const Bytes& all) {
  std::string s;
  char part[4];
  for (size_t i = 109; i + 1 < all.size(); ++i) {
    std::snprintf(part, sizeof part, s.empty() ? "%02X" : " %02X", all[i]);
    s += part;
  }
  return s;
}

Bytes FromHex(const std::string& text) {
  Bytes bytes;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ' || text[i] == ',') {
      ++i;
      continue;
    }
    bytes.push_back(static_cast<unsigned char>(std::stoul(text.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return bytes;
}

// A complete stream around a body given in hex.
Bytes Stream(const std::string& body) {
  Serial::MemoryStreamOut out;
  { Serial::Binary::BinarySerialOut writer(out); }
  Bytes all = out.data();
  all.pop_back();
  for (unsigned char b : FromHex(body)) all.push_back(b);
  all.push_back(0x19);
  return all;
}

void Read(CPropContainer& container, const Bytes& bytes) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  Serial::Binary::BinarySerialIn reader(in);
  EXPECT_TRUE(container.Do(reader));
}

struct Recorder : IPropContHandler {
  struct Call {
    bool before;
    CPropName name;
    const CProp* oldValue;
    const CProp* newValue;
    CString oldText;  // read during the call: the old value must be alive
  };
  std::vector<Call> calls;
  void OnBeforePropChange(const CPropContainer&, const CPropName& name, const CProp* oldValue,
                          const CProp* newValue) override {
    calls.push_back({true, name, oldValue, newValue, oldValue ? oldValue->AsString() : u""});
  }
  void OnAfterPropChange(const CPropContainer&, const CPropName& name, const CProp* oldValue,
                         const CProp* newValue) override {
    calls.push_back({false, name, oldValue, newValue, oldValue ? oldValue->AsString() : u""});
  }
};

TEST(CPropContainer, ExampleBytesAndReadBack) {
  CPropContainer container;
  container.SetPropW(u"Name", new CStrProp(u"x"));
  const Bytes bytes = Write(container);
  EXPECT_EQ(BodyHex(bytes),
            "18 02 01 "
            "1A 04 00 00 00 01 00 00 00 "
            "18 00 "
            "18 00 1A 02 00 00 00 00 00 1A 08 00 00 00 4E 00 61 00 6D 00 65 00 19 "
            "18 00 1A 01 00 00 00 00 1A 01 00 00 00 02 1A 01 00 00 00 64 1A 02 00 00 00 78 00 19 "
            "19 "
            "19");
  CPropContainer back;
  back.SetPropW(u"old", new CIntProp(1));
  Read(back, bytes);
  ASSERT_EQ(back.GetProps().size(), 1u);
  ASSERT_NE(back.GetPropW(u"Name"), nullptr);
  EXPECT_EQ(back.GetPropW(u"Name")->GetStr(), CString(u"x"));
  EXPECT_TRUE(back == container);
}

TEST(CPropContainer, EmptyContainerBytesAndReadDiscardsContent) {
  CPropContainer empty;
  EXPECT_EQ(BodyHex(Write(empty)), "18 02 01 1A 04 00 00 00 00 00 00 00 19");
  Recorder recorder;
  CPropContainer full(&recorder);
  full.SetPropW(u"a", new CIntProp(1));
  recorder.calls.clear();
  Read(full, Write(empty));
  EXPECT_TRUE(full.GetProps().empty());
  EXPECT_TRUE(recorder.calls.empty());
}

TEST(CPropContainer, ManyClassesRoundTripInNameOrder) {
  CPropContainer container;
  container.SetPropW(CPropName::TransText, new CStrProp(u"text"));
  const unsigned char data[] = {9, 8, 7};
  container.SetPropW(CPropName::TransData, new CBinaryProp(data, 3));
  container.SetPropW(u"b");
  container.SetPropW(u"B", new CStrSetProp({u"s"}));
  container.SetPropW(u"v", new CVariantProp(_variant_t(int32_t{3})));
  container.SetPropW(u"i", new CIntVectorProp({4, 5}));
  CPropContainer back;
  Read(back, Write(container));
  EXPECT_TRUE(back == container);
  std::vector<CPropName> names;
  for (const auto& entry : back.GetProps()) names.push_back(entry.first);
  const std::vector<CPropName> expected{u"B", u"b", u"i", u"v", CPropName::TransData,
                                        CPropName::TransText};
  EXPECT_EQ(names, expected);
  // A second save of what was read is byte-identical.
  EXPECT_EQ(Write(back), Write(container));
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

TEST(CPropContainer, HandlerSeesOldAndNewValuesAround) {
  Recorder recorder;
  CPropContainer container(&recorder);
  container.SetPropW(u"k", nullptr);
  EXPECT_TRUE(recorder.calls.empty());

  auto* first = new CStrProp(u"one");
  container.SetPropW(u"k", first);
  ASSERT_EQ(recorder.calls.size(), 2u);
  EXPECT_TRUE(recorder.calls[0].before);
  EXPECT_EQ(recorder.calls[0].oldValue, nullptr);
  EXPECT_EQ(recorder.calls[0].newValue, first);
  EXPECT_EQ(container.GetPropW(u"k"), first);

  recorder.calls.clear();
  auto* second = new CStrProp(u"two");
  container.SetPropW(u"k", second);
  ASSERT_EQ(recorder.calls.size(), 2u);
  for (const auto& call : recorder.calls) {
    EXPECT_EQ(call.oldValue, first);
    EXPECT_EQ(call.newValue, second);
    EXPECT_EQ(call.oldText, CString(u"one"));  // alive in both calls
  }
  EXPECT_EQ(container.GetPropW(u"k"), second);

  recorder.calls.clear();
  std::unique_ptr<CProp> removed(container.RemovePropW(u"k"));
  EXPECT_EQ(removed.get(), second);
  ASSERT_EQ(recorder.calls.size(), 2u);
  EXPECT_EQ(recorder.calls[1].newValue, nullptr);
  EXPECT_EQ(removed->GetStr(), CString(u"two"));
  EXPECT_EQ(container.GetPropW(u"k"), nullptr);

  recorder.calls.clear();
  EXPECT_EQ(container.RemovePropW(u"k"), nullptr);
  EXPECT_TRUE(recorder.calls.empty());
}

TEST(CPropContainer, CopyClonesSilentlyAndEqualityIgnoresNames) {
  CPropContainer source;
  source.SetPropW(u"a", new CIntProp(1));
  source.SetPropW(u"b", new CStrProp(u"s"));
  source.SetPropW(u"c");
  Recorder recorder;
  CPropContainer copy(&recorder);
  copy.SetPropW(u"z", new CIntProp(9));
  recorder.calls.clear();
  copy.Copy(source);
  EXPECT_TRUE(recorder.calls.empty());
  EXPECT_EQ(copy.GetHandler(), &recorder);
  ASSERT_EQ(copy.GetProps().size(), 3u);
  for (const auto& entry : source.GetProps()) {
    EXPECT_NE(copy.GetPropW(entry.first), entry.second);
    EXPECT_TRUE(copy.GetPropW(entry.first)->IsEqual(*entry.second));
  }
  EXPECT_TRUE(copy == source);

  CPropContainer underA, underB, flag;
  underA.SetPropW(u"a", new CIntProp(1));
  underB.SetPropW(u"b", new CIntProp(1));
  flag.SetPropW(u"a", new CBoolProp(true));
  EXPECT_TRUE(underA == underB);
  EXPECT_FALSE(underA == flag);
  EXPECT_FALSE(underA == source);
}

TEST(CPropContainer, DamagedEntriesKeepWhatCameBefore) {
  // A string "x" under "a", then an entry whose class name ("Q") is unknown.
  const std::string good = "18 00 18 00 1A 02 00 00 00 00 00 1A 02 00 00 00 61 00 19 "
                           "18 00 1A 01 00 00 00 00 1A 01 00 00 00 02 1A 01 00 00 00 64 "
                           "1A 02 00 00 00 78 00 19 19 ";
  const std::string unknown = "18 00 18 00 1A 02 00 00 00 00 00 1A 02 00 00 00 62 00 19 "
                              "18 00 1A 01 00 00 00 00 1A 01 00 00 00 01 1A 02 00 00 00 51 00 19 19 ";
  CPropContainer container;
  Read(container, Stream("18 02 01 1A 04 00 00 00 02 00 00 00 " + good + unknown + "19"));
  ASSERT_EQ(container.GetProps().size(), 1u);
  EXPECT_EQ(container.GetPropW(u"a")->GetStr(), CString(u"x"));
  // With entries after the bad one, the sequential reader meets them where
  // the node should end: a structural fault, after the good entry was kept.
  const Bytes more = Stream("18 02 01 1A 04 00 00 00 03 00 00 00 " + good + unknown + good + "19");
  Serial::MemoryStreamIn moreIn(more.data(), static_cast<unsigned int>(more.size()));
  Serial::Binary::BinarySerialIn moreReader(moreIn);
  CPropContainer partial;
  EXPECT_THROW(partial.Do(moreReader), Serial::Exceptions::FormatIO);
  EXPECT_EQ(partial.GetProps().size(), 1u);

  // A value of the wrong size (an int of 2 bytes) stops the read too.
  const std::string shortInt = "18 00 18 00 1A 02 00 00 00 00 00 1A 02 00 00 00 63 00 19 "
                               "18 00 1A 01 00 00 00 00 1A 01 00 00 00 02 1A 01 00 00 00 66 "
                               "1A 02 00 00 00 05 00 19 19 ";
  CPropContainer second;
  Read(second, Stream("18 02 01 1A 04 00 00 00 02 00 00 00 " + good + shortInt + "19"));
  EXPECT_EQ(second.GetProps().size(), 1u);

  // Structure that does not fit throws; what was read stays and nothing leaks.
  CPropContainer third;
  const Bytes cut = Stream("18 02 01 1A 04 00 00 00 02 00 00 00 " + good +
                           "18 00 18 00 1A 02 00 00 00 00 00 1A 02 00 00 00 63 00 19 18 00 "
                           "1A 01 00 00 00 00 1A 01 00 00 00 01 1A 08 00 00 00 49 00 6E 00 74 00 "
                           "56 00 19");
  Serial::MemoryStreamIn in(cut.data(), static_cast<unsigned int>(cut.size()));
  Serial::Binary::BinarySerialIn reader(in);
  EXPECT_THROW(third.Do(reader), Serial::Exceptions::FormatIO);
  EXPECT_EQ(third.GetProps().size(), 1u);

  EXPECT_THROW(Read(third, Stream("18 02 02 19")), Serial::Exceptions::FormatIO);
}

TEST(CPropContainer, TreeReaderToleratesAbsentNode) {
  CPropContainer container;
  container.SetPropW(u"a", new CIntProp(4));
  const Bytes bytes = Write(container);
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  Serial::Binary::BinarySerialTreeIn tree;
  ASSERT_TRUE(tree.Load(in));
  CPropContainer back;
  EXPECT_TRUE(back.Do(tree));
  EXPECT_TRUE(back == container);
  // Named nodes can be read again; an absent one leaves the container empty.
  CPropContainer again;
  EXPECT_TRUE(again.Do(tree));
  EXPECT_TRUE(again == container);
  const Bytes empty = Stream("");
  Serial::MemoryStreamIn emptyIn(empty.data(), static_cast<unsigned int>(empty.size()));
  Serial::Binary::BinarySerialTreeIn emptyTree;
  ASSERT_TRUE(emptyTree.Load(emptyIn));
  EXPECT_TRUE(again.Do(emptyTree));
  EXPECT_TRUE(again.GetProps().empty());
}

}  // namespace

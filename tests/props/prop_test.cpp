// Property names and values: text forms, the order of names, cross-class
// comparison, round trips by class name and fields of the wrong size.
#include "props/Prop.h"

#include <gtest/gtest.h>

#include <memory>

#include "lang/IntStrMap.h"
#include "platform/TestData.h"
#include "props/PropName.h"
#include "serial/SerialTestUtil.h"

namespace {

TEST(CPropName, TextFormsBothWays) {
  for (const auto& row : testdata::Rows("props", "name_texts.tsv")) {
    ASSERT_EQ(row.size(), 4u);
    SCOPED_TRACE(row[1]);
    CPropName name(u"stale");
    name.FromString(CString::FromUtf8(row[1]));
    EXPECT_EQ(name.GetInt(), std::stoi(row[0]));
    EXPECT_EQ(name.GetStr().ToUtf8(), row[2]);
    EXPECT_EQ(name.ToString().ToUtf8(), row[3]);
  }
}

TEST(CPropName, OrderAndSerialForm) {
  const CPropName a(u"a"), upperB(u"B"), one(CPropName::TransData), two(CPropName::TransText);
  EXPECT_TRUE(upperB < a);  // keys first, case-sensitive
  EXPECT_TRUE(a < one);
  EXPECT_TRUE(one < two);
  EXPECT_FALSE(two < one);
  CPropName text(CPropName::TransText);  // a string name's form is in the container's bytes
  EXPECT_EQ(testutil::Hex(testutil::WriteBody([&](Serial::ISerialStream& s) { text.Do(s); })),
            "1A 02 00 00 00 02 00 1A 00 00 00 00");
}

TEST(CProp, EqualityAndOrderWithinAndAcrossClasses) {
  EXPECT_FALSE(CStrProp(u"a").IsEqual(CStrProp(u"A")));
  EXPECT_TRUE(CStrProp(u"A").IsLess(CStrProp(u"a")));
  EXPECT_TRUE(CStrProp(u"x").IsLess(CIntProp(0)));          // 'd' before 'f'
  EXPECT_TRUE(CStrSetProp({u"z"}).IsLess(CStrProp(u"")));   // string names first
  EXPECT_TRUE(CIntVectorProp({}).IsLess(CStrSetProp({})));  // "IntVectorType" < "StrSetProp"
  EXPECT_FALSE(CIntProp(1).IsEqual(CBoolProp(true)));
  EXPECT_TRUE(CIntProp(-1).IsLess(CIntProp(0)));
  const unsigned char low[] = {0x01}, high[] = {0xFF};
  EXPECT_TRUE(CBinaryProp(low, 1).IsLess(CBinaryProp(high, 1)));  // bytes unsigned
  EXPECT_TRUE(CIntVectorProp({1, 2}).IsLess(CIntVectorProp({1, 3})));
  EXPECT_FALSE(CVariantProp(_variant_t(u"a")).IsEqual(CVariantProp(_variant_t(1))));
  const CVariantProp v1(_variant_t(u"a")), v2(_variant_t(u"b"));
  EXPECT_NE(v1.IsLess(v2), v2.IsLess(v1));                               // a strict order
  EXPECT_EQ(CIntProp::classInstance.Clone(CStrProp(u"text")), nullptr);  // another class
}

// Every class, written as class name and value and recreated by name.
TEST(CProp, EveryClassRoundTripsByClassName) {
  const unsigned char bytes[] = {0, 1, 0xFE, 0xFF};
  std::vector<std::unique_ptr<CProp>> props;
  for (CProp* prop : std::initializer_list<CProp*>{
           new CEmptyProp(), new CStrProp(u"caf\u00e9"), new CBinaryProp(bytes, 4),
           new CIntProp(-123456), new CBoolProp(true), new CIntVectorProp({1, -2, 0x7FFFFFFF}),
           new CStrSetProp({u"b", u"a"}),
           new CIntStrMapProp(CIntStrMap{{0, u"SourceBrand"}, {3, u"Lite"}}),
           new CVariantProp(_variant_t(2.5)), new CVariantProp(_variant_t(u"variant text"))}) {
    props.emplace_back(prop);
  }
  Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
  Serial::SerialClassStrategy<CProp> strategy(factory);
  const testutil::Bytes saved = testutil::Write([&](Serial::ISerialStream& out) {
    for (auto& prop : props) {
      CProp* raw = prop.get();
      EXPECT_TRUE(strategy.Do(out, raw));
    }
  });
  testutil::Read(saved, [&](Serial::ISerialStream& in) {
    for (auto& prop : props) {
      CProp* raw = nullptr;
      EXPECT_TRUE(strategy.Do(in, raw));
      std::unique_ptr<CProp> back(raw);
      ASSERT_NE(back, nullptr);
      EXPECT_EQ(&back->GetPropClass(), &prop->GetPropClass());
      EXPECT_TRUE(back->IsEqual(*prop)) << prop->GetPropClass().GetName().GetStrValue().ToUtf8();
    }
  });
}

TEST(CProp, WrongFieldSizesReadAsFalse) {
  const testutil::Bytes three = testutil::Write([](Serial::ISerialStream& s) {
    const unsigned char bytes[3] = {1, 2, 3};
    s.WriteField(3, bytes);
  });
  CIntProp integer(CIntProp::classInstance);
  CIntVectorProp vector(CIntVectorProp::classInstance);
  CStrProp text(CStrProp::classInstance);
  CBoolProp flag(CBoolProp::classInstance);
  CBinaryProp binary(CBinaryProp::classInstance);
  for (CProp* prop : std::initializer_list<CProp*>{&integer, &vector, &text, &flag, &binary}) {
    bool ok = false;
    testutil::Read(three, [&](Serial::ISerialStream& s) { ok = prop->Do(s); });
    EXPECT_EQ(ok, prop == &binary) << prop->GetPropClass().GetName().GetStrValue().ToUtf8();
  }
  EXPECT_EQ(integer.GetInt(), 0);
  EXPECT_EQ(binary.GetData().size(), 3u);
}

}  // namespace

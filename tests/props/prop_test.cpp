// Property names and values: text forms, the order of names, each class's
// registered name, defaults, read overrides, cross-class comparison and
// round trips through a gzip serial file.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "lang/IntStrMap.h"
#include "props/Prop.h"
#include "props/PropName.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

namespace {

using Serial::NodeName;

std::vector<unsigned char> WriteBody(const std::function<void(Serial::ISerialStream&)>& body) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    body(writer);
  }
  return std::vector<unsigned char>(out.data().begin() + 109, out.data().end() - 1);
}

TEST(CPropName, TextFormsBothWays) {
  struct Case {
    const char16_t* text;
    int id;
    const char16_t* key;
    const char16_t* printed;
  };
  const Case cases[] = {
      {u"#1", 1, u"", u"#1"},
      {u"#2", 2, u"", u"#2"},
      {u"@Name", 0, u"Name", u"@Name"},
      {u"Name", 0, u"Name", u"@Name"},
      {u"@@x", 0, u"@x", u"@@x"},
      {u"@", 0, u"", u"@"},
      {u"", 0, u"", u"@"},
      {u"#", 0, u"", u"@"},          // no digits: identifier 0, empty key
      {u"#12abc", 12, u"", u"#12"},  // digits up to the first other character
      {u"#4294967295", -1, u"", u"#4294967295"},
  };
  for (const Case& c : cases) {
    CPropName name(u"stale");
    name.FromString(c.text);
    EXPECT_EQ(name.GetInt(), c.id) << CString(c.text).ToUtf8();
    EXPECT_EQ(name.GetStr(), CString(c.key)) << CString(c.text).ToUtf8();
    EXPECT_EQ(name.ToString(), CString(c.printed)) << CString(c.text).ToUtf8();
  }
  EXPECT_EQ(CPropName(u"MFC.OutputType").ToString(), CString(u"@MFC.OutputType"));
}

TEST(CPropName, OrderPutsKeysFirstAndIsCaseSensitive) {
  const CPropName a(u"a"), upperB(u"B"), one(CPropName::TransData), two(CPropName::TransText);
  EXPECT_TRUE(upperB < a);
  EXPECT_TRUE(a < one);
  EXPECT_TRUE(one < two);
  EXPECT_FALSE(two < one);
  EXPECT_NE(CPropName(u"a"), CPropName(u"A"));
  EXPECT_EQ(CPropName(CPropName::TransText), CPropName(CPropName::TransText));
}

TEST(CPropName, SerialFormIsTwoFields) {
  CPropName text(CPropName::TransText);
  auto hex = [](const std::vector<unsigned char>& bytes) {
    std::string s;
    char part[4];
    for (unsigned char b : bytes) {
      std::snprintf(part, sizeof part, "%02X ", b);
      s += part;
    }
    return s;
  };
  EXPECT_EQ(hex(WriteBody([&](Serial::ISerialStream& s) { text.Do(s); })),
            "1A 02 00 00 00 02 00 1A 00 00 00 00 ");
  CPropName key(u"Ab");
  EXPECT_EQ(hex(WriteBody([&](Serial::ISerialStream& s) { key.Do(s); })),
            "1A 02 00 00 00 00 00 1A 04 00 00 00 41 00 62 00 ");
}

TEST(CProp, RegisteredNamesAndDefaults) {
  struct Case {
    NodeName name;
    const char16_t* asString;
  };
  const Case cases[] = {
      {NodeName(static_cast<unsigned char>('c')), u"Unknown"},
      {NodeName(static_cast<unsigned char>('d')), u""},
      {NodeName(static_cast<unsigned char>('e')), u"Unknown"},
      {NodeName(static_cast<unsigned char>('f')), u"#0"},
      {NodeName(static_cast<unsigned char>('g')), u"false"},
      {NodeName(u"IntVectorType"), u"Unknown"},
      {NodeName(u"StrSetProp"), u"Unknown"},
      {NodeName(u"IntStrMapProp"), u"Unknown"},
      {NodeName(u"VariantProp"), u"Unknown"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<Serial::SerialObject> made(PropClassRegistry::instance().Create(c.name));
    auto* prop = dynamic_cast<CProp*>(made.get());
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(prop->GetPropClass().GetName(), c.name);
    EXPECT_EQ(prop->AsString(), CString(c.asString));
    EXPECT_EQ(prop->GetInt(), 0);
    EXPECT_TRUE(prop->GetData().empty());
  }
  EXPECT_EQ(PropClassRegistry::instance().Create(NodeName(u"NoSuchProp")), nullptr);
  EXPECT_EQ(PropClassRegistry::instance().Create(NodeName(static_cast<unsigned char>('h'))), nullptr);
}

TEST(CProp, ReadOverrides) {
  EXPECT_EQ(CIntProp(5).AsString(), CString(u"#5"));
  EXPECT_EQ(CIntProp(-5).AsString(), CString(u"#-5"));
  EXPECT_EQ(CIntProp(-5).GetStr(), CString());
  EXPECT_EQ(CIntProp(-5).GetInt(), -5);
  EXPECT_EQ(CBoolProp(true).GetInt(), 1);
  EXPECT_EQ(CBoolProp(true).AsString(), CString(u"true"));
  EXPECT_EQ(CStrProp(u"s").GetStr(), CString(u"s"));
  EXPECT_EQ(CStrProp(u"s").AsString(), CString(u"s"));
  EXPECT_EQ(CStrProp(u"7").GetInt(), 0);
  EXPECT_TRUE(CStrProp(u"s").GetData().empty());
  const unsigned char bytes[] = {1, 2, 3, 4, 5};
  CBinaryProp binary(bytes, 3);
  binary.AddBinaryBlock(bytes + 3, 2);
  EXPECT_EQ(binary.GetData(), std::vector<unsigned char>(bytes, bytes + 5));
  EXPECT_TRUE(CBinaryProp(bytes, 0).GetData().empty());
}

TEST(CProp, EqualityAndOrderWithinAndAcrossClasses) {
  EXPECT_FALSE(CStrProp(u"a").IsEqual(CStrProp(u"A")));
  EXPECT_TRUE(CStrProp(u"A").IsLess(CStrProp(u"a")));
  EXPECT_TRUE(CStrProp(u"x").IsLess(CIntProp(0)));  // 'd' before 'f'
  EXPECT_FALSE(CIntProp(0).IsLess(CStrProp(u"x")));
  EXPECT_TRUE(CStrSetProp({u"z"}).IsLess(CStrProp(u"")));  // string names first
  EXPECT_TRUE(CIntVectorProp({}).IsLess(CStrSetProp({})));  // "IntVectorType" < "StrSetProp"
  EXPECT_FALSE(CIntProp(1).IsEqual(CBoolProp(true)));
  EXPECT_TRUE(CEmptyProp().IsEqual(CEmptyProp()));
  EXPECT_FALSE(CEmptyProp().IsLess(CEmptyProp()));
  EXPECT_TRUE(CIntProp(-1).IsLess(CIntProp(0)));
  EXPECT_TRUE(CBoolProp(false).IsLess(CBoolProp(true)));
  const unsigned char low[] = {0x01}, high[] = {0xFF};
  EXPECT_TRUE(CBinaryProp(low, 1).IsLess(CBinaryProp(high, 1)));  // bytes unsigned
  EXPECT_TRUE(CIntVectorProp({1, 2}).IsLess(CIntVectorProp({1, 3})));
  EXPECT_TRUE(CIntVectorProp({1, 2}).IsEqual(CIntVectorProp({1, 2})));
  EXPECT_TRUE(CVariantProp(_variant_t(u"a")).IsEqual(CVariantProp(_variant_t(u"a"))));
  EXPECT_FALSE(CVariantProp(_variant_t(u"a")).IsEqual(CVariantProp(_variant_t(1))));
  const CVariantProp v1(_variant_t(u"a")), v2(_variant_t(u"b"));
  EXPECT_NE(v1.IsLess(v2), v2.IsLess(v1));  // a strict order
  CIntStrMap brands{{0, u"SourceBrand"}};
  EXPECT_TRUE(CIntStrMapProp(brands).IsEqual(CIntStrMapProp(brands)));
}

TEST(CProp, CloneKeepsClassAndRefusesForeignClass) {
  const CStrProp original(u"text");
  std::unique_ptr<CProp> clone(original.Clone());
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(&clone->GetPropClass(), &CStrProp::classInstance);
  EXPECT_TRUE(clone->IsEqual(original));
  EXPECT_NE(clone.get(), &original);
  EXPECT_EQ(CIntProp::classInstance.Clone(original), nullptr);
}

// Every class, written as class name and value through a gzip file and
// recreated by name through the registry.
TEST(CProp, EveryClassRoundTripsThroughGzipFile) {
  std::vector<std::unique_ptr<CProp>> props;
  props.emplace_back(new CEmptyProp());
  props.emplace_back(new CStrProp(u"caf\u00e9"));
  const unsigned char bytes[] = {0, 1, 0xFE, 0xFF};
  props.emplace_back(new CBinaryProp(bytes, 4));
  props.emplace_back(new CIntProp(-123456));
  props.emplace_back(new CBoolProp(true));
  props.emplace_back(new CIntVectorProp({1, -2, 0x7FFFFFFF}));
  props.emplace_back(new CStrSetProp({u"b", u"a"}));
  props.emplace_back(new CIntStrMapProp(CIntStrMap{{0, u"SourceBrand"}, {3, u"Lite"}}));
  props.emplace_back(new CVariantProp(_variant_t(2.5)));
  props.emplace_back(new CVariantProp(_variant_t(u"variant text")));

  const char* dir = std::getenv("ITEMLIB_TEST_TMP");
  const CString path = CString::FromUtf8(std::string(dir ? dir : "/tmp") + "/props.serial.gz");
  Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
  Serial::SerialClassStrategy<CProp> strategy(factory);
  {
    Serial::GZFileStreamOut file(path, 2);
    Serial::Binary::BinarySerialOut out(file);
    for (auto& prop : props) {
      CProp* raw = prop.get();
      EXPECT_TRUE(strategy.Do(out, raw));
    }
  }
  Serial::GZFileStreamIn file(path);
  Serial::Binary::BinarySerialIn in(file);
  for (auto& prop : props) {
    CProp* raw = nullptr;
    EXPECT_TRUE(strategy.Do(in, raw));
    std::unique_ptr<CProp> back(raw);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(&back->GetPropClass(), &prop->GetPropClass());
    EXPECT_TRUE(back->IsEqual(*prop)) << prop->GetPropClass().GetName().GetStrValue().ToUtf8();
  }
}

TEST(CProp, WrongFieldSizesReadAsFalse) {
  auto readAs = [](CProp& prop, const std::function<void(Serial::ISerialStream&)>& write) {
    Serial::MemoryStreamOut out;
    {
      Serial::Binary::BinarySerialOut writer(out);
      write(writer);
    }
    Serial::MemoryStreamIn in(out.data().data(), static_cast<unsigned int>(out.data().size()));
    Serial::Binary::BinarySerialIn reader(in);
    return prop.Do(reader);
  };
  const unsigned char three[3] = {1, 2, 3};
  auto writeThree = [&](Serial::ISerialStream& s) { s.WriteField(3, three); };
  CIntProp integer(CIntProp::classInstance);
  EXPECT_FALSE(readAs(integer, writeThree));
  EXPECT_EQ(integer.GetInt(), 0);
  CIntVectorProp vector(CIntVectorProp::classInstance);
  EXPECT_FALSE(readAs(vector, writeThree));
  CStrProp text(CStrProp::classInstance);
  EXPECT_FALSE(readAs(text, writeThree));
  CBoolProp flag(CBoolProp::classInstance);
  EXPECT_FALSE(readAs(flag, writeThree));
  CBinaryProp binary(CBinaryProp::classInstance);
  EXPECT_TRUE(readAs(binary, writeThree));
  EXPECT_EQ(binary.GetData().size(), 3u);
}

}  // namespace

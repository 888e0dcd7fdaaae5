// Project languages, language sets and name filters: the selection rules as
// tables of cases, case-insensitive filtering, exact serial bytes, and the
// property classes through the registry and a gzip serial file.
#include "lang/PrjLangs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "serial/SerialTestUtil.h"

namespace {

using testutil::FromHex;
using testutil::Hex;

const int kNone = 7777;
const int kEnUs = 0x0409, kDe = 0x0407, kFr = 0x040C, kJa = 0x0411, kIt = 0x0410;
const int kBrand1 = 0x10000;

// A selection reached through the public setters, so every start state is one
// the rules allow.
CPrjLangs Make(int native, const CLangSet& selected, int target, int secondary) {
  CPrjLangs langs(native);
  langs.setSelectedLangs(selected);
  langs.setTarget(target);
  langs.setSecondary(secondary);
  return langs;
}

std::string Describe(const CPrjLangs& p) {
  std::string text = "native " + std::to_string(p.getNative()) + " target " +
                     std::to_string(p.getTarget()) + " secondary " +
                     std::to_string(p.getSecondary()) + " selected";
  for (int lang : p.getSelectedLangs()) text += " " + std::to_string(lang);
  return text;
}

TEST(CPrjLangs, NewSelectionIsEmpty) {
  const CPrjLangs langs(kEnUs);
  EXPECT_EQ(langs.getNative(), kEnUs);
  EXPECT_EQ(langs.getTarget(), kNone);
  EXPECT_EQ(langs.getSecondary(), kNone);
  EXPECT_TRUE(langs.getSelectedLangs().empty());
  EXPECT_EQ(CPrjLangs().getNative(), kNone);
  EXPECT_TRUE(CPrjLangs() == CPrjLangs(kNone));
}

TEST(CPrjLangs, SetSelectedLangsKeepsTargetAndSecondaryInside) {
  struct Case {
    const char* what;
    CPrjLangs start;
    CLangSet langs;
    CLangSet selected;
    int target;
    int secondary;
  };
  const Case cases[] = {
      {"first selection picks the smallest as target",
       CPrjLangs(kEnUs),
       {kFr, kDe},
       {kDe, kFr},
       kDe,
       kNone},
      {"native language in the set changes nothing",
       Make(kEnUs, {kDe, kFr}, kFr, kDe),
       {kEnUs, kDe},
       {kDe, kFr},
       kFr,
       kDe},
      {"target and secondary kept when still selected",
       Make(kEnUs, {kDe, kFr}, kFr, kDe),
       {kDe, kFr, kJa},
       {kDe, kFr, kJa},
       kFr,
       kDe},
      {"secondary dropped when unselected",
       Make(kEnUs, {kDe, kFr}, kFr, kDe),
       {kFr, kJa},
       {kFr, kJa},
       kFr,
       kNone},
      {"target moves to the smallest and keeps its brand",
       Make(kEnUs, {kDe, kFr}, kDe | kBrand1, kNone),
       {kJa, kIt},
       {kIt, kJa},
       kIt | kBrand1,
       kNone},
      {"empty selection: target becomes native with the old brand",
       Make(kEnUs, {kDe, kFr}, kDe | kBrand1, kFr),
       {},
       {},
       kEnUs | kBrand1,
       kNone},
      {"empty selection: no target becomes the native language",
       CPrjLangs(kEnUs),
       {},
       {},
       kEnUs,
       kNone},
      {"empty selection: a native target keeps its brand",
       Make(kEnUs, {kDe}, kEnUs | kBrand1, kNone),
       {},
       {},
       kEnUs | kBrand1,
       kNone},
      {"empty selection on the undefined native language", CPrjLangs(), {}, {}, kNone, kNone},
  };
  for (const Case& c : cases) {
    CPrjLangs langs = c.start;
    const int native = langs.getNative();
    langs.setSelectedLangs(c.langs);
    EXPECT_EQ(langs.getSelectedLangs(), c.selected) << c.what;
    EXPECT_EQ(langs.getTarget(), c.target) << c.what << ": " << Describe(langs);
    EXPECT_EQ(langs.getSecondary(), c.secondary) << c.what << ": " << Describe(langs);
    EXPECT_EQ(langs.getNative(), native) << c.what;
  }
}

// Start for the setter tables: native en-US, de and fr selected, target de,
// secondary fr.
TEST(CPrjLangs, SetTargetAcceptsSelectedAndBrandedNative) {
  struct Case {
    int lang;
    bool accepted;
  };
  const Case cases[] = {
      {kFr, true},  {kFr | kBrand1, true}, {kEnUs | kBrand1, true}, {kEnUs, false},
      {kJa, false}, {kNone, false},        {77777777, false},       {kJa | kBrand1, false},
  };
  for (const Case& c : cases) {
    CPrjLangs langs = Make(kEnUs, {kDe, kFr}, kDe, kFr);
    ASSERT_EQ(langs.getTarget(), kDe);
    langs.setTarget(c.lang);
    EXPECT_EQ(langs.getTarget(), c.accepted ? c.lang : kDe) << std::hex << c.lang;
    EXPECT_EQ(langs.getSecondary(), kFr) << std::hex << c.lang;
  }
}

TEST(CPrjLangs, SetSecondaryAcceptsNoneSelectedAndBrandedNative) {
  struct Case {
    int lang;
    bool accepted;
  };
  const Case cases[] = {
      {kNone, true},  {kDe, true},  {kDe | kBrand1, true}, {kEnUs | kBrand1, true},
      {kEnUs, false}, {kJa, false}, {77777777, false},
  };
  for (const Case& c : cases) {
    CPrjLangs langs = Make(kEnUs, {kDe, kFr}, kDe, kFr);
    ASSERT_EQ(langs.getSecondary(), kFr);
    langs.setSecondary(c.lang);
    EXPECT_EQ(langs.getSecondary(), c.accepted ? c.lang : kFr) << std::hex << c.lang;
    EXPECT_EQ(langs.getTarget(), kDe) << std::hex << c.lang;
  }
  CPrjLangs empty(kEnUs);
  empty.setSecondary(kNone);
  EXPECT_EQ(empty.getSecondary(), kNone);
}

TEST(CPrjLangs, AddSelectedLangChecksNothing) {
  CPrjLangs langs = Make(kEnUs, {kDe}, kDe, kNone);
  langs.addSelectedLang(kEnUs);
  langs.addSelectedLang(kJa | kBrand1);
  EXPECT_EQ(langs.getSelectedLangs(), (CLangSet{kDe, kEnUs, kJa | kBrand1}));
  EXPECT_EQ(langs.getTarget(), kDe);
}

TEST(CPrjLangs, EqualityComparesEveryFieldAndNothingIsLess) {
  const CPrjLangs base = Make(kEnUs, {kDe, kFr}, kDe, kFr);
  const CPrjLangs others[] = {
      Make(kEnUs, {kDe, kFr, kJa}, kDe, kFr),
      Make(kEnUs, {kDe, kFr}, kFr, kFr),
      Make(kEnUs, {kDe, kFr}, kDe, kNone),
      Make(kJa, {kDe, kFr}, kDe, kFr),
  };
  EXPECT_TRUE(base == Make(kEnUs, {kDe, kFr}, kDe, kFr));
  for (const CPrjLangs& other : others) {
    EXPECT_FALSE(base == other) << Describe(other);
    EXPECT_FALSE(base < other);
    EXPECT_FALSE(other < base);
  }
}

// Native en-US, de selected and target, no secondary.
const char kPrjLangsBytes[] =
    "18 01 08 53 00 65 00 6C 00 65 00 63 00 74 00 65 00 64 00 "
    "1A 04 00 00 00 01 00 00 00 18 00 1A 04 00 00 00 07 04 00 00 19 19 "
    "18 01 06 54 00 61 00 72 00 67 00 65 00 74 00 1A 04 00 00 00 07 04 00 00 19 "
    "18 01 06 4E 00 61 00 74 00 69 00 76 00 65 00 1A 04 00 00 00 09 04 00 00 19 "
    "18 01 09 53 00 65 00 63 00 6F 00 6E 00 64 00 61 00 72 00 79 00 "
    "1A 04 00 00 00 61 1E 00 00 19";

TEST(CPrjLangs, ExactBytesBothWays) {
  CPrjLangs langs = Make(kEnUs, {kDe}, kDe, kNone);
  EXPECT_EQ(Hex(testutil::WriteBody([&](Serial::ISerialStream& s) { EXPECT_TRUE(langs.Do(s)); })),
            Hex(FromHex(kPrjLangsBytes)));
  CPrjLangs back = Make(kJa, {kFr}, kFr, kNone);
  testutil::Read(testutil::Stream(FromHex(kPrjLangsBytes)),
                 [&](Serial::ISerialStream& s) { EXPECT_TRUE(back.Do(s)); });
  EXPECT_TRUE(back == langs) << Describe(back);
}

TEST(CPrjLangs, OldUndefinedSecondaryReadsAsNone) {
  // 77777777 = 0x04A2CB71, in the "Secondary" node and, untouched, in "Target".
  std::string bytes = kPrjLangsBytes;
  const std::string none = "61 1E 00 00", old = "71 CB A2 04", de = "07 04 00 00";
  bytes.replace(bytes.rfind(none), none.size(), old);
  const size_t target = bytes.find("54 00 61 00 72 00 67 00 65 00 74 00");
  bytes.replace(bytes.find(de, target), de.size(), old);
  CPrjLangs back;
  testutil::Read(testutil::Stream(FromHex(bytes)),
                 [&](Serial::ISerialStream& s) { EXPECT_TRUE(back.Do(s)); });
  EXPECT_EQ(back.getSecondary(), kNone);
  EXPECT_EQ(back.getTarget(), 77777777);
}

TEST(CPrjLangs, BadFieldOrMissingNodeFailsTheRead) {
  // "Target" holding a 2-byte field: the read stops with false.
  std::string bytes = kPrjLangsBytes;
  const size_t target = bytes.find("54 00 61 00 72 00 67 00 65 00 74 00");
  bytes.replace(bytes.find("1A 04 00 00 00 07 04 00 00", target), 26, "1A 02 00 00 00 07 04");
  CPrjLangs back;
  testutil::Read(testutil::Stream(FromHex(bytes)),
                 [&](Serial::ISerialStream& s) { EXPECT_FALSE(back.Do(s)); });

  // Without "Secondary" the binary reader meets the end of "Root".
  const std::string noSecondary(kPrjLangsBytes, std::string(kPrjLangsBytes).find("18 01 09"));
  EXPECT_THROW(testutil::Read(testutil::Stream(FromHex(noSecondary)),
                              [&](Serial::ISerialStream& s) { back.Do(s); }),
               Serial::Exceptions::FormatIO);
}

TEST(CLangSet, ExactBytesBothWays) {
  CLangSet set{kEnUs | kBrand1, kDe};
  const char bytes[] =
      "1A 04 00 00 00 02 00 00 00 18 00 1A 04 00 00 00 07 04 00 00 19 "
      "18 00 1A 04 00 00 00 09 04 01 00 19";
  EXPECT_EQ(Hex(testutil::WriteBody([&](Serial::ISerialStream& s) { EXPECT_TRUE(set.Do(s)); })),
            bytes);
  CLangSet back{kJa};
  testutil::Read(testutil::Stream(FromHex(bytes)),
                 [&](Serial::ISerialStream& s) { EXPECT_TRUE(back.Do(s)); });
  EXPECT_EQ(back, set);
}

using Names = CFilter::NameSet;

TEST(CFilter, AllowedNames) {
  struct Case {
    Names includes;
    Names excludes;
    const char16_t* name;
    bool allowed;
  };
  const Case cases[] = {
      {{u"*"}, {u"Foreground"}, u"Background", true},
      {{u"*"}, {u"Foreground"}, u"FOREGROUND", false},
      {{u"*"}, {u"Foreground"}, u"foreground", false},
      {{u"*"}, {}, u"", true},
      {{u"*"}, {}, u"anything at all", true},
      {{u"*", u"Text"}, {u"text"}, u"Text", false},
      {{u"Text"}, {}, u"text", true},
      {{u"Text"}, {}, u"TEXT", true},
      {{u"Text"}, {}, u"Width", false},
      {{u"Text"}, {}, u"Tex", false},
      {{u"Text"}, {u"Text"}, u"Text", true},  // excludes count only beside "*"
      {{u"Text"}, {}, u"*", false},
      {{}, {}, u"Text", false},
      {{}, {}, u"*", false},
      {{}, {}, u"", false},
  };
  for (const Case& c : cases) {
    const CFilter filter(c.includes, c.excludes);
    EXPECT_EQ(filter.IsAllowedName(c.name), c.allowed) << CString(c.name).ToUtf8();
  }
}

TEST(CFilter, CaseInsensitiveOrderAndOneElementPerName) {
  const CFilter::CaseInsensitiveCmp less;
  EXPECT_TRUE(less(u"a", u"B"));  // ordinally 'B' comes first
  EXPECT_FALSE(less(u"B", u"a"));
  EXPECT_TRUE(less(u"_", u"A"));  // '_' sits between the upper and lower letters
  EXPECT_FALSE(less(u"A", u"_"));
  EXPECT_FALSE(less(u"Abc", u"aBC"));
  EXPECT_FALSE(less(u"aBC", u"Abc"));
  EXPECT_TRUE(less(u"ab", u"ABC"));

  Names names{u"Abc", u"aBC", u"ABC", u"b"};
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(*names.begin(), CString(u"Abc"));  // the first one inserted stays
}

TEST(CFilter, EqualityAndOrderAreCaseSensitive) {
  const CFilter lower({u"abc"}, {}), upper({u"Abc"}, {});
  EXPECT_EQ(lower.IsAllowedName(u"ABC"), upper.IsAllowedName(u"ABC"));
  EXPECT_FALSE(lower == upper);
  EXPECT_TRUE(lower == CFilter({u"abc"}, {}));

  struct Case {
    CFilter a;
    CFilter b;
    bool less;
  };
  const Case cases[] = {
      {CFilter({u"x"}, {u"a"}), CFilter({u"x"}, {u"b"}), true},
      {CFilter({u"x"}, {u"b"}), CFilter({u"x"}, {u"a"}), false},
      {CFilter({u"a"}, {u"z"}), CFilter({u"b"}, {u"a"}), true},
      {CFilter({u"b"}, {u"a"}), CFilter({u"a"}, {u"z"}), false},
      {CFilter({u"B"}, {}), CFilter({u"a"}, {}), true},
      {CFilter({u"Abc"}, {}), CFilter({u"abc"}, {}), true},
      {CFilter({u"abc"}, {}), CFilter({u"Abc"}, {}), false},
      {CFilter({u"a"}, {}), CFilter({u"a", u"b"}, {}), true},
      {CFilter({u"x"}, {u"a"}), CFilter({u"x"}, {u"a"}), false},
      {CFilter(), CFilter(), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.a < c.b, c.less) << &c - cases;
  }
}

const char kFilterBytes[] =
    "1A 04 00 00 00 01 00 00 00 18 00 1A 02 00 00 00 2A 00 19 "
    "1A 04 00 00 00 01 00 00 00 18 00 "
    "1A 14 00 00 00 46 00 6F 00 72 00 65 00 67 00 72 00 6F 00 75 00 6E 00 64 00 19";

TEST(CFilter, ExactBytesBothWays) {
  CFilter filter({u"*"}, {u"Foreground"});
  EXPECT_EQ(Hex(testutil::WriteBody([&](Serial::ISerialStream& s) { EXPECT_TRUE(filter.Do(s)); })),
            Hex(FromHex(kFilterBytes)));
  CFilter back({u"stale"}, {});
  testutil::Read(testutil::Stream(FromHex(kFilterBytes)),
                 [&](Serial::ISerialStream& s) { EXPECT_TRUE(back.Do(s)); });
  EXPECT_TRUE(back == filter);
}

TEST(CFilter, ReadingMergesNamesThatDifferInCase) {
  // Includes "abc" and "ABC", no excludes.
  const char bytes[] =
      "1A 04 00 00 00 02 00 00 00 18 00 1A 06 00 00 00 61 00 62 00 63 00 19 "
      "18 00 1A 06 00 00 00 41 00 42 00 43 00 19 1A 04 00 00 00 00 00 00 00";
  CFilter back({}, {u"stale"});
  testutil::Read(testutil::Stream(FromHex(bytes)),
                 [&](Serial::ISerialStream& s) { EXPECT_TRUE(back.Do(s)); });
  ASSERT_EQ(back.includes.size(), 1u);
  EXPECT_EQ(*back.includes.begin(), CString(u"abc"));
  EXPECT_TRUE(back.excludes.empty());
}

TEST(LangPropClasses, NamesDefaultsAndOrder) {
  EXPECT_EQ(CPrjLangsProp::classInstance.GetName(), Serial::NodeName(u"PrjLangsType"));
  EXPECT_EQ(CLangSetProp::classInstance.GetName(), Serial::NodeName(u"LangSetType"));
  EXPECT_EQ(CFilterProp::classInstance.GetName(), Serial::NodeName(u"Filter"));

  const std::unique_ptr<CProp> created(
      static_cast<CProp*>(PropClassRegistry::instance().Create(Serial::NodeName(u"PrjLangsType"))));
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->IsEqual(CPrjLangsProp(CPrjLangs())));
  EXPECT_TRUE(CLangSetProp(CLangSetProp::classInstance).Get().empty());
  EXPECT_TRUE(CFilterProp(CFilterProp::classInstance).Get() == CFilter());

  const CPrjLangsProp a{CPrjLangs(kEnUs)}, b{CPrjLangs(kDe)};
  EXPECT_FALSE(a.IsLess(b));
  EXPECT_FALSE(b.IsLess(a));
  EXPECT_FALSE(a.IsEqual(b));
  EXPECT_TRUE(CLangSetProp(CLangSet{1, 2}).IsLess(CLangSetProp(CLangSet{1, 3})));
  EXPECT_TRUE(CLangSetProp(CLangSet{1}).IsLess(CLangSetProp(CLangSet{1, 2})));
  EXPECT_FALSE(CLangSetProp(CLangSet{1, 3}).IsLess(CLangSetProp(CLangSet{1, 2})));
  EXPECT_TRUE(CFilterProp(CFilter({u"B"}, {})).IsLess(CFilterProp(CFilter({u"a"}, {}))));
  // Across classes by registered name: "Filter" < "LangSetType" < "PrjLangsType".
  EXPECT_TRUE(CFilterProp(CFilter()).IsLess(CLangSetProp(CLangSet{})));
  EXPECT_TRUE(CLangSetProp(CLangSet{9}).IsLess(a));
  EXPECT_FALSE(CLangSetProp(CLangSet{}).IsEqual(CFilterProp(CFilter())));
}

TEST(LangPropClasses, RoundTripThroughGzipFile) {
  CPrjLangs langs = Make(kEnUs | kBrand1, {kDe, kFr | kBrand1}, kDe, kNone);
  std::vector<std::unique_ptr<CProp>> props;
  props.emplace_back(new CPrjLangsProp(langs));
  props.emplace_back(new CPrjLangsProp(CPrjLangs()));
  props.emplace_back(new CLangSetProp(CLangSet{kJa, kDe | kBrand1, -1}));
  props.emplace_back(new CLangSetProp(CLangSet{}));
  props.emplace_back(new CFilterProp(CFilter({u"*"}, {u"Foreground", u"Width"})));
  props.emplace_back(new CFilterProp(CFilter({u"Text", u"\u00c9t\u00e9"}, {})));
  props.emplace_back(new CFilterProp(CFilter()));

  const CString path = CString::FromUtf8(testutil::TempPath("lang-props.serial.gz"));
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
  for (const auto& prop : props) {
    CProp* raw = nullptr;
    EXPECT_TRUE(strategy.Do(in, raw));
    const std::unique_ptr<CProp> back(raw);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(&back->GetPropClass(), &prop->GetPropClass());
    EXPECT_TRUE(back->IsEqual(*prop)) << prop->GetPropClass().GetName().GetStrValue().ToUtf8();
    const std::unique_ptr<CProp> clone(back->Clone());
    EXPECT_TRUE(clone->IsEqual(*prop));
  }
}

}  // namespace

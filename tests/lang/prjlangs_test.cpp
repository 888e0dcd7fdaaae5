// Project languages, language sets and name filters: the selection rules as
// tables of cases, case-insensitive filtering, exact serial bytes, and the
// property classes through the registry.
#include "lang/PrjLangs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LangTestUtil.h"

namespace {

using langtest::BodyHex;
using langtest::ReadBody;

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

TEST(CPrjLangs, NewSelectionAndUncheckedAdd) {
  CPrjLangs langs(kEnUs);
  EXPECT_EQ(Describe(langs), "native 1033 target 7777 secondary 7777 selected");
  EXPECT_TRUE(CPrjLangs() == CPrjLangs(kNone));
  langs.addSelectedLang(kEnUs);
  langs.addSelectedLang(kJa | kBrand1);
  EXPECT_EQ(langs.getSelectedLangs(), (CLangSet{kEnUs, kJa | kBrand1}));
  EXPECT_EQ(langs.getTarget(), kNone);
}

TEST(CPrjLangs, SetSelectedLangsKeepsTargetAndSecondaryInside) {
  struct Case {
    CPrjLangs start;
    CLangSet langs, selected;
    int target, secondary;
  };
  const CPrjLangs deFr = Make(kEnUs, {kDe, kFr}, kFr, kDe);
  const CPrjLangs brandedDe = Make(kEnUs, {kDe, kFr}, kDe | kBrand1, kFr);
  const Case cases[] = {
      // The first selection picks the smallest as target.
      {CPrjLangs(kEnUs), {kFr, kDe}, {kDe, kFr}, kDe, kNone},
      // The native language in the set changes nothing.
      {deFr, {kEnUs, kDe}, {kDe, kFr}, kFr, kDe},
      // Target and secondary are kept while selected; an unselected secondary goes.
      {deFr, {kDe, kFr, kJa}, {kDe, kFr, kJa}, kFr, kDe},
      {deFr, {kFr, kJa}, {kFr, kJa}, kFr, kNone},
      // The target moves to the smallest and keeps its brand.
      {brandedDe, {kJa, kIt}, {kIt, kJa}, kIt | kBrand1, kNone},
      // An empty selection makes the target the native language, brand kept.
      {brandedDe, {}, {}, kEnUs | kBrand1, kNone},
      {CPrjLangs(kEnUs), {}, {}, kEnUs, kNone},
      {Make(kEnUs, {kDe}, kEnUs | kBrand1, kNone), {}, {}, kEnUs | kBrand1, kNone},
      {CPrjLangs(), {}, {}, kNone, kNone},
      // The old undefined value is its low half, not the undefined language.
      {CPrjLangs(77777777), {kNone}, {kNone}, kNone, kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    CPrjLangs langs = c.start;
    langs.setSelectedLangs(c.langs);
    EXPECT_EQ(langs.getSelectedLangs(), c.selected);
    EXPECT_EQ(langs.getTarget(), c.target) << Describe(langs);
    EXPECT_EQ(langs.getSecondary(), c.secondary) << Describe(langs);
    EXPECT_EQ(langs.getNative(), c.start.getNative());
  }
}

// From native en-US, de and fr selected, target de, secondary fr; each
// setter leaves the other field alone.
TEST(CPrjLangs, SetTargetAndSecondaryAcceptSelectedAndBrandedNative) {
  struct Case {
    int lang;
    bool target, secondary;  // accepted by each setter
  };
  const Case cases[] = {
      {kFr, true, true},           {kFr | kBrand1, true, true}, {kEnUs | kBrand1, true, true},
      {kDe | kBrand1, true, true}, {kNone, false, true},        {kEnUs, false, false},
      {kJa, false, false},         {77777777, false, false},    {kJa | kBrand1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.lang);
    CPrjLangs langs = Make(kEnUs, {kDe, kFr}, kDe, kFr);
    langs.setTarget(c.lang);
    EXPECT_EQ(langs.getTarget(), c.target ? c.lang : kDe);
    EXPECT_EQ(langs.getSecondary(), kFr);
    langs = Make(kEnUs, {kDe, kFr}, kDe, kFr);
    langs.setSecondary(c.lang);
    EXPECT_EQ(langs.getSecondary(), c.secondary ? c.lang : kFr);
    EXPECT_EQ(langs.getTarget(), kDe);
  }
}

TEST(CPrjLangs, EqualityComparesEveryFieldAndNothingIsLess) {
  const CPrjLangs base = Make(kEnUs, {kDe, kFr}, kDe, kFr);
  EXPECT_TRUE(base == Make(kEnUs, {kDe, kFr}, kDe, kFr));
  for (const CPrjLangs& other :
       {Make(kEnUs, {kDe, kFr, kJa}, kDe, kFr), Make(kEnUs, {kDe, kFr}, kFr, kFr),
        Make(kEnUs, {kDe, kFr}, kDe, kNone), Make(kJa, {kDe, kFr}, kDe, kFr)}) {
    EXPECT_FALSE(base == other) << Describe(other);
    EXPECT_FALSE(base < other || other < base);
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
  EXPECT_EQ(BodyHex(langs), kPrjLangsBytes);
  CPrjLangs back = Make(kJa, {kFr}, kFr, kNone);
  EXPECT_TRUE(ReadBody(kPrjLangsBytes, back));
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
  EXPECT_TRUE(ReadBody(bytes, back));
  EXPECT_EQ(back.getSecondary(), kNone);
  EXPECT_EQ(back.getTarget(), 77777777);
}

TEST(CPrjLangs, BadFieldOrMissingNodeFailsTheRead) {
  // "Target" holding a 2-byte field: the read stops with false.
  std::string bytes = kPrjLangsBytes;
  const size_t target = bytes.find("54 00 61 00 72 00 67 00 65 00 74 00");
  bytes.replace(bytes.find("1A 04 00 00 00 07 04 00 00", target), 26, "1A 02 00 00 00 07 04");
  CPrjLangs back;
  EXPECT_FALSE(ReadBody(bytes, back));

  // Without "Secondary" the binary reader meets the end of "Root".
  const std::string noSecondary(kPrjLangsBytes, std::string(kPrjLangsBytes).find("18 01 09"));
  EXPECT_THROW(ReadBody(noSecondary, back), Serial::Exceptions::FormatIO);
}

TEST(CLangSet, ExactBytesBothWays) {
  CLangSet set{kEnUs | kBrand1, kDe};
  const char bytes[] =
      "1A 04 00 00 00 02 00 00 00 18 00 1A 04 00 00 00 07 04 00 00 19 "
      "18 00 1A 04 00 00 00 09 04 01 00 19";
  EXPECT_EQ(BodyHex(set), bytes);
  CLangSet back{kJa};
  EXPECT_TRUE(ReadBody(bytes, back));
  EXPECT_EQ(back, set);
}

using Names = CFilter::NameSet;

TEST(CFilter, AllowedNames) {
  struct Case {
    Names includes, excludes;
    const char16_t* name;
    bool allowed;
  };
  const Case cases[] = {
      {{u"*"}, {u"Foreground"}, u"Background", true},
      {{u"*"}, {u"Foreground"}, u"FOREGROUND", false},
      {{u"*"}, {u"Foreground"}, u"foreground", false},
      {{u"*"}, {}, u"", true},
      {{u"*", u"Text"}, {u"text"}, u"Text", false},
      {{u"Text"}, {}, u"TEXT", true},
      {{u"Text"}, {}, u"Width", false},
      {{u"Text"}, {}, u"Tex", false},
      {{u"Text"}, {u"Text"}, u"Text", true},  // excludes count only beside "*"
      {{u"Text"}, {}, u"*", false},
      {{}, {}, u"Text", false},
      {{}, {}, u"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CFilter(c.includes, c.excludes).IsAllowedName(c.name), c.allowed)
        << CString(c.name).ToUtf8();
  }
}

TEST(CFilter, CaseInsensitiveOrderAndOneElementPerName) {
  const CFilter::CaseInsensitiveCmp less;
  EXPECT_TRUE(less(u"a", u"B"));  // ordinally 'B' comes first
  EXPECT_FALSE(less(u"B", u"a"));
  EXPECT_TRUE(less(u"_", u"A"));  // '_' sits between the upper and lower letters
  EXPECT_FALSE(less(u"A", u"_"));
  EXPECT_FALSE(less(u"Abc", u"aBC") || less(u"aBC", u"Abc"));
  EXPECT_TRUE(less(u"ab", u"ABC"));

  Names names{u"Abc", u"aBC", u"ABC", u"b"};
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(*names.begin(), CString(u"Abc"));  // the first one inserted stays
}

TEST(CFilter, EqualityAndOrderAreCaseSensitive) {
  const CFilter lower({u"abc"}, {}), upper({u"Abc"}, {});
  EXPECT_TRUE(upper.IsAllowedName(u"ABC") && lower.IsAllowedName(u"ABC"));
  EXPECT_FALSE(lower == upper);
  EXPECT_TRUE(lower == CFilter({u"abc"}, {}));
  EXPECT_FALSE(CFilter({u"x"}, {u"a"}) == CFilter({u"x"}, {u"A"}));

  struct Case {
    CFilter a, b;
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
  };
  for (const Case& c : cases) EXPECT_EQ(c.a < c.b, c.less) << &c - cases;
}

const char kFilterBytes[] =
    "1A 04 00 00 00 01 00 00 00 18 00 1A 02 00 00 00 2A 00 19 "
    "1A 04 00 00 00 01 00 00 00 18 00 "
    "1A 14 00 00 00 46 00 6F 00 72 00 65 00 67 00 72 00 6F 00 75 00 6E 00 64 00 19";

TEST(CFilter, ExactBytesBothWays) {
  CFilter filter({u"*"}, {u"Foreground"});
  EXPECT_EQ(BodyHex(filter), kFilterBytes);
  CFilter back({u"stale"}, {});
  EXPECT_TRUE(ReadBody(kFilterBytes, back));
  EXPECT_TRUE(back == filter);
}

TEST(CFilter, ReadingMergesNamesThatDifferInCase) {
  // Includes "abc" and "ABC", no excludes.
  const char bytes[] =
      "1A 04 00 00 00 02 00 00 00 18 00 1A 06 00 00 00 61 00 62 00 63 00 19 "
      "18 00 1A 06 00 00 00 41 00 42 00 43 00 19 1A 04 00 00 00 00 00 00 00";
  CFilter back({}, {u"stale"});
  EXPECT_TRUE(ReadBody(bytes, back));
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

  const CPrjLangsProp a{CPrjLangs(kEnUs)}, b{CPrjLangs(kDe)};
  EXPECT_FALSE(a.IsLess(b) || b.IsLess(a));
  EXPECT_FALSE(a.IsEqual(b));
  EXPECT_TRUE(CLangSetProp(CLangSet{1, 2}).IsLess(CLangSetProp(CLangSet{1, 3})));
  EXPECT_TRUE(CLangSetProp(CLangSet{1}).IsLess(CLangSetProp(CLangSet{1, 2})));
  EXPECT_FALSE(CLangSetProp(CLangSet{1, 3}).IsLess(CLangSetProp(CLangSet{1, 2})));
  // Across classes by registered name: "Filter" < "LangSetType" < "PrjLangsType".
  EXPECT_TRUE(CFilterProp(CFilter()).IsLess(CLangSetProp(CLangSet{})));
  EXPECT_TRUE(CLangSetProp(CLangSet{9}).IsLess(a));
  EXPECT_FALSE(CLangSetProp(CLangSet{}).IsEqual(CFilterProp(CFilter())));
}

TEST(LangPropClasses, RoundTripThroughTheRegistry) {
  const CPrjLangs langs = Make(kEnUs | kBrand1, {kDe, kFr | kBrand1}, kDe, kNone);
  const std::unique_ptr<CProp> props[] = {
      std::make_unique<CPrjLangsProp>(langs),
      std::make_unique<CPrjLangsProp>(CPrjLangs()),
      std::make_unique<CLangSetProp>(CLangSet{kJa, kDe | kBrand1, -1}),
      std::make_unique<CLangSetProp>(CLangSet{}),
      std::make_unique<CFilterProp>(CFilter({u"*"}, {u"Foreground", u"Width"})),
      std::make_unique<CFilterProp>(CFilter({u"Text", u"\u00c9t\u00e9"}, {})),
      std::make_unique<CFilterProp>(CFilter()),
  };
  for (const auto& prop : props) {
    const std::unique_ptr<CProp> back = langtest::RegistryCopy(*prop);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(&back->GetPropClass(), &prop->GetPropClass());
    EXPECT_TRUE(back->IsEqual(*prop)) << prop->GetPropClass().GetName().GetStrValue().ToUtf8();
  }
}

}  // namespace

// Project languages, language sets and name filters: the selection rules as
// tables of cases, case-insensitive filtering, exact serial bytes, and the
// property classes through the registry.
#include "lang/PrjLangs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "LangTestUtil.h"
#include "lang/Encoding.h"
#include "platform/TestData.h"

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
      {deFr, {kFr, kJa}, {kFr, kJa}, kFr, kNone},
      // The target moves to the smallest and keeps its brand.
      {brandedDe, {kJa, kIt}, {kIt, kJa}, kIt | kBrand1, kNone},
      // An empty selection makes the target the native language, brand kept.
      {brandedDe, {}, {}, kEnUs | kBrand1, kNone},
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
    EXPECT_EQ(langs.getTarget(), c.target);
    EXPECT_EQ(langs.getSecondary(), c.secondary);
    EXPECT_EQ(langs.getNative(), c.start.getNative());
  }
}

// From native en-US, de and fr selected, target de, secondary fr; each
// setter leaves the other field alone. Rows: language, whether setTarget and
// setSecondary accept it.
TEST(CPrjLangs, SetTargetAndSecondaryAcceptSelectedAndBrandedNative) {
  for (const auto& row : testdata::Rows("lang", "target_secondary.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    const int lang = static_cast<int>(std::stol(row[0], nullptr, 0));
    CPrjLangs langs = Make(kEnUs, {kDe, kFr}, kDe, kFr);
    langs.setTarget(lang);
    EXPECT_EQ(langs.getTarget(), row[1] == "1" ? lang : kDe) << row[0];
    EXPECT_EQ(langs.getSecondary(), kFr);
    langs = Make(kEnUs, {kDe, kFr}, kDe, kFr);
    langs.setSecondary(lang);
    EXPECT_EQ(langs.getSecondary(), row[2] == "1" ? lang : kFr) << row[0];
    EXPECT_EQ(langs.getTarget(), kDe);
  }
}

TEST(CPrjLangs, ExactBytesBothWays) {
  const std::string kPrjLangsBytes = langtest::HexFile("lang", "prj_langs.hex");
  CPrjLangs langs = Make(kEnUs, {kDe}, kDe, kNone);
  EXPECT_EQ(BodyHex(langs), kPrjLangsBytes);
  CPrjLangs back = Make(kJa, {kFr}, kFr, kNone);
  EXPECT_TRUE(ReadBody(kPrjLangsBytes, back));
  EXPECT_TRUE(back == langs);
}

TEST(CPrjLangs, OldUndefinedSecondaryReadsAsNone) {
  // 77777777 = 0x04A2CB71, in the "Secondary" node and, untouched, in "Target".
  std::string bytes = langtest::HexFile("lang", "prj_langs.hex");
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
  const std::string kPrjLangsBytes = langtest::HexFile("lang", "prj_langs.hex");
  // "Target" holding a 2-byte field: the read stops with false.
  std::string bytes = kPrjLangsBytes;
  const size_t target = bytes.find("54 00 61 00 72 00 67 00 65 00 74 00");
  bytes.replace(bytes.find("1A 04 00 00 00 07 04 00 00", target), 26, "1A 02 00 00 00 07 04");
  CPrjLangs back;
  EXPECT_FALSE(ReadBody(bytes, back));

  // Without "Secondary" the binary reader meets the end of "Root".
  const std::string noSecondary = kPrjLangsBytes.substr(0, kPrjLangsBytes.find("18 01 09"));
  EXPECT_THROW(ReadBody(noSecondary, back), Serial::Exceptions::FormatIO);
}

using Names = CFilter::NameSet;

Names Split(const std::string& text) {
  Names names;
  for (size_t at = 0; at < text.size();) {
    const size_t bar = std::min(text.find('|', at), text.size());
    names.insert(CString::FromUtf8(text.substr(at, bar - at)));
    at = bar + 1;
  }
  return names;
}

TEST(CFilter, AllowedNames) {
  for (const auto& row : testdata::Rows("lang", "filter_names.tsv")) {
    ASSERT_EQ(row.size(), 4u);
    EXPECT_EQ(CFilter(Split(row[0]), Split(row[1])).IsAllowedName(CString::FromUtf8(row[2])),
              row[3] == "1")
        << row[0] << " / " << row[1] << " / " << row[2];
  }
}

TEST(CFilter, NamesAreCaseInsensitiveEqualityAndOrderAreNot) {
  EXPECT_TRUE(CFilter::CaseInsensitiveCmp()(u"_", u"A"));  // '_' sits between the cases
  Names names{u"Abc", u"aBC", u"b"};
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(*names.begin(), CString(u"Abc"));  // the first one inserted stays
  EXPECT_FALSE(CFilter({u"abc"}, {}) == CFilter({u"Abc"}, {}));
  const struct {
    CFilter a, b;
    bool less;
  } cases[] = {
      {CFilter({u"x"}, {u"a"}), CFilter({u"x"}, {u"b"}), true},
      {CFilter({u"a"}, {u"z"}), CFilter({u"b"}, {u"a"}), true},
      {CFilter({u"Abc"}, {}), CFilter({u"abc"}, {}), true},
      {CFilter({u"a"}, {}), CFilter({u"a", u"b"}, {}), true},
  };
  for (const auto& c : cases) EXPECT_EQ(c.a < c.b, c.less) << &c - cases;
}

TEST(CFilter, ExactBytesBothWays) {
  const std::string kFilterBytes = langtest::HexFile("lang", "filter.hex");
  CFilter filter({u"*"}, {u"Foreground"});
  EXPECT_EQ(BodyHex(filter), kFilterBytes);
  CFilter back({u"stale"}, {});
  EXPECT_TRUE(ReadBody(kFilterBytes, back));
  EXPECT_TRUE(back == filter);
}

TEST(CFilter, ReadingMergesNamesThatDifferInCase) {
  CFilter back({}, {u"stale"});
  EXPECT_TRUE(ReadBody(langtest::HexFile("lang", "filter_case.hex"), back));
  ASSERT_EQ(back.includes.size(), 1u);
  EXPECT_EQ(*back.includes.begin(), CString(u"abc"));
  EXPECT_TRUE(back.excludes.empty());
}

TEST(LangPropClasses, RoundTripThroughTheRegistry) {
  const CPrjLangs langs = Make(kEnUs | kBrand1, {kDe, kFr | kBrand1}, kDe, kNone);
  const std::unique_ptr<CProp> props[] = {
      std::make_unique<CPrjLangsProp>(langs),
      std::make_unique<CLangSetProp>(CLangSet{kJa, kDe | kBrand1, -1}),
      std::make_unique<CFilterProp>(CFilter({u"*"}, {u"Foreground", u"Width"})),
      std::make_unique<CFilterProp>(CFilter({u"Text", u"\u00c9t\u00e9"}, {})),
      std::make_unique<CEncodingCfgProp>(CEncodingCfg(CEncoding(CString(u"utf-8")))),
  };
  for (const auto& prop : props) {
    const std::unique_ptr<CProp> back = langtest::RegistryCopy(*prop);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(&back->GetPropClass(), &prop->GetPropClass());
    EXPECT_TRUE(back->IsEqual(*prop)) << prop->GetPropClass().GetName().GetStrValue().ToUtf8();
  }
}

}  // namespace

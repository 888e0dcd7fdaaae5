// Database tables to localize: columns and language values resolved per
// language in both schemes, equality that ignores the unselected scheme, and
// the serial form including the nodes older projects lack.
#include <gtest/gtest.h>

#include <vector>

#include "ConfigTestUtil.h"
#include "config/DBCfg.h"

namespace {

constexpr int kDe = 0x0407;
constexpr int kJa = 0x0411;
constexpr int kBrand1 = 1 << 16;

using Strings = std::vector<CString>;

CDBSROFFieldCfg Field(CIntStrMap byLang, const char16_t* pattern) {
  CDBSROFFieldCfg field;
  field.NameByLang = std::move(byLang);
  field.TransNamePattern = pattern;
  return field;
}

// Orders: a column per language. Items: a row per language.
CDBTableCfg SrofTable() {
  CDBTableCfg table;
  table.TableName = u"Orders";
  table.SROFCfg.TransFields = {
      CDBSROFFieldCfg(),
      Field({{kDe, u"Text_German"}, {kDe | kBrand1, u"Text_Lite"}}, u"Text_$(WinLang)")};
  table.WhereCond = u"Id > 0";
  return table;
}

CDBTableCfg LangIdTable() {
  CDBTableCfg table;
  table.TableName = u"Items";
  table.KeyFields = {u"ItemId"};
  table.LocalizationSchemeId = CDBTableCfg::LangIdScheme;
  table.LangIdSchemeCfg.LangIdField = u"Lang";
  table.LangIdSchemeCfg.LangIdValueMap = {{kJa, u"JP"}};
  table.LangIdSchemeCfg.TransFields = {u"Name", u"Descr"};
  return table;
}

TEST(DBCfg, ColumnsAndValuesPerLanguage) {
  const CDBTableCfg srof = SrofTable();
  CDBTableCfg ids = LangIdTable();
  struct Case {
    int lang;
    Strings srofColumns;  // default field, then the explicit/pattern field
    const char16_t* langIdValue;
  };
  const Case cases[] = {
      {kDe, {u"de-DE", u"Text_German"}, u"1031"},
      {kDe | kBrand1, {u"de-DE", u"Text_Lite"}, u"1031"},
      {kJa, {u"ja-JP", u"Text_JPN"}, u"JP"},
      // The explicit entries match the full id: brand 1 is another key.
      {kJa | kBrand1, {u"ja-JP", u"Text_JPN"}, u"1041"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lang);
    EXPECT_EQ(srof.GetLocFields(c.lang), c.srofColumns);
    EXPECT_EQ(ids.LangIdSchemeCfg.GetValueByLang(c.lang), CString(c.langIdValue));
  }
  EXPECT_EQ(ids.GetLocFields(kJa), (Strings{u"Name", u"Descr"}));
  ids.LocalizationSchemeId = static_cast<enum CDBTableCfg::LocalizationSchemeId>(2);
  EXPECT_TRUE(ids.GetLocFields(kDe).empty());
}

TEST(DBCfg, EqualityComparesOnlyTheSelectedScheme) {
  const CDBTableCfg base = SrofTable();
  struct Case {
    void (*change)(CDBTableCfg&);
    bool equal;
  };
  const Case cases[] = {
      {[](CDBTableCfg& t) { t.LangIdSchemeCfg.LangIdField = u"Other"; }, true},
      {[](CDBTableCfg& t) { t.SROFCfg.TransFields[0].TransNamePattern = u"x"; }, false},
      {[](CDBTableCfg& t) { t.SROFCfg.TransFields[1].NameByLang[kJa] = u"x"; }, false},
      {[](CDBTableCfg& t) { t.WhereCond.Empty(); }, false},
      {[](CDBTableCfg& t) { t.LocalizationSchemeId = CDBTableCfg::LangIdScheme; }, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    CDBTableCfg changed = base;
    cases[i].change(changed);
    EXPECT_EQ(changed == base, cases[i].equal) << i;
  }
}

TEST(DBCfg, SerialFormWritesOnlyTheSelectedScheme) {
  CDBTableCfg unknown = LangIdTable();
  unknown.LocalizationSchemeId = static_cast<enum CDBTableCfg::LocalizationSchemeId>(2);
  CDBTablesCfg tables{SrofTable(), LangIdTable(), unknown};
  CDBTablesCfg back;
  ASSERT_TRUE(
      cfgtest::ReadTree([&](Serial::ISerialStream& s) { EXPECT_TRUE(tables.Do(s)); }, back));
  EXPECT_EQ(back, tables);
  // Nothing of the unselected schemes travels.
  EXPECT_TRUE(back[0].LangIdSchemeCfg == CLangIdSchemeCfg());
  EXPECT_TRUE(back[1].SROFCfg == CSROFSchemeCfg());
}

// Nodes written by hand, as an older project holds them.
TEST(DBCfg, ReadingToleratesTheOptionalNodes) {
  auto node = [](Serial::ISerialStream& s, const char16_t* name, auto value) {
    Serial::InNode(s, name,
                   [&] { return Serial::DefaultSerialStrategy<decltype(value)>().Do(s, value); });
  };
  // Whether "TableName" and "LangIdField" are there; both are required.
  for (const auto& [tableName, langIdField] :
       {std::pair{true, true}, std::pair{true, false}, std::pair{false, true}}) {
    const bool withTableName = tableName, withLangIdField = langIdField;
    CDBTableCfg read;
    read.WhereCond = u"kept";
    read.LangIdSchemeCfg.TransFields = {u"kept"};
    const bool result = cfgtest::ReadTree(
        [&](Serial::ISerialStream& s) {
          if (withTableName) node(s, u"TableName", CString(u"Items"));
          node(s, u"LocalizationSchemeId", 1);
          node(s, u"KeyFields", Strings{u"ItemId"});
          Serial::InNode(s, u"LangIdSchemeCfg", [&] {
            if (withLangIdField) node(s, u"LangIdField", CString(u"Lang"));
            return true;
          });
        },
        read);
    EXPECT_EQ(result, withTableName && withLangIdField);
    // Every node is attempted even after a failure; absent ones keep their fields.
    EXPECT_EQ(read.KeyFields, Strings{u"ItemId"});
    EXPECT_EQ(read.WhereCond, CString(u"kept"));
    EXPECT_EQ(read.LangIdSchemeCfg.TransFields, Strings{u"kept"});
    EXPECT_EQ(read.LangIdSchemeCfg.LangIdField, CString(withLangIdField ? u"Lang" : u""));
  }
}

}  // namespace

// Control type mappings: the conversion of a parser's static table, their
// exact serial bytes and reading, and the list-valued settings (mappings,
// database tables) through the property class registry.
#include <gtest/gtest.h>

#include <memory>

#include "ConfigTestUtil.h"
#include "config/ControlMapping.h"
#include "config/DBCfg.h"
#include "lang/LangTestUtil.h"

namespace {

using Store = CControlMappingStore;

CControlTypeMapping Hidden(const char16_t* mask) {
  CControlTypeMapping mapping;
  mapping.SrcTypeMask = mask;
  return mapping;
}

TEST(ControlMapping, FillFromStaticAppendsTheRowsItKeeps) {
  const Store::MAP_INFO table[] = {
      {u"TButton", u"Button"},  {u"TTimer", nullptr},    {u"TShape", u"#hidden#"},
      {u"TPanel", u"#Hidden#"}, {u"TLabel*", u"Static"},
  };
  const CControlMappingList once{{u"TButton", u"Button"},
                                 Hidden(u"TShape"),
                                 {u"TPanel", u"#Hidden#"},
                                 {u"TLabel*", u"Static"}};
  CControlMappingList list;
  Store::FillFromStatic(list, table, 5);
  EXPECT_EQ(list, once);
  Store::FillFromStatic(list, table, 5);
  ASSERT_EQ(list.size(), 8u);
  EXPECT_TRUE(std::equal(once.begin(), once.end(), list.begin() + 4));
}

TEST(ControlMapping, ListBytes) {
  CControlMappingList list{{u"A", u"B"}, Hidden(u"C")};
  EXPECT_EQ(langtest::BodyHex(list), langtest::HexFile("config", "control_mapping.hex"));
}

TEST(ControlMapping, OnlyTheMaskIsRequiredOnReading) {
  for (const bool withMask : {true, false}) {
    CControlTypeMapping read(u"old", u"Kept");
    EXPECT_EQ(cfgtest::ReadTree(
                  [&](Serial::ISerialStream& s) {
                    CString text(u"TEdit");
                    if (withMask)
                      Serial::InNode(s, u"SrcTypeMask", [&] { return Serial::Do(s, text); });
                  },
                  read),
              withMask);
    EXPECT_EQ(read, CControlTypeMapping(withMask ? u"TEdit" : u"old", u"Kept"));
  }
}

// The list settings' values are recreated by their registered class names.
TEST(ControlMapping, ListSettingsRoundTripThroughTheRegistry) {
  CDBTableCfg table;
  table.TableName = u"Orders";
  const std::unique_ptr<CProp> props[] = {
      std::make_unique<CControlMappingProp>(
          CControlMappingList{{u"TEdit", u"Edit"}, Hidden(u"TShape")}),
      std::make_unique<CDBTablesCfgProp>(CDBTablesCfg{table, CDBTableCfg()}),
  };
  for (const auto& prop : props) {
    const std::unique_ptr<CProp> back = langtest::RegistryCopy(*prop);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(&back->GetPropClass(), &prop->GetPropClass());
    EXPECT_TRUE(back->IsEqual(*prop));
  }
}

}  // namespace

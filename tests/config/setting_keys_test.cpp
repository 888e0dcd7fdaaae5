// Every key and built-in default of the project, output-format, database and
// control mapping accessor classes, from a table file: keys are stored in
// projects, so a typo here is a format break.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/ControlMapping.h"
#include "config/DBCfg.h"
#include "config/FormatCfg.h"
#include "config/PrjConfig.h"
#include "platform/TestData.h"

namespace {

TEST(SettingKeys, EveryKeyAndDefaultOfEveryAccessorClass) {
  const std::map<std::string, const std::vector<CfgAccess::CSettingInfo>*> tables = {
      {"CPrjConfig", &CPrjConfig::Settings()},
      {"CPEFormatCfg", &CPEFormatCfg::Settings()},
      {"CDfmCfg", &CDfmCfg::Settings()},
      {"COutputDirCfg", &COutputDirCfg::Settings()},
      {"CNetResCfg", &CNetResCfg::Settings()},
      {"CNetBinOutCfg", &CNetBinOutCfg::Settings()},
      {"CCommonPreviewCfg", &CCommonPreviewCfg::Settings()},
      {"CInternalFilterCfg", &CInternalFilterCfg::Settings()},
      {"CChmFormatCfg", &CChmFormatCfg::Settings()},
      {"CDBCfg", &CDBCfg::Settings()},
      {"CDfmControlMappingCfg", &CDfmControlMappingCfg::Settings()},
      {"CNetResControlMappingCfg", &Detail::CNetResControlMappingCfg::Settings()},
  };
  std::map<std::string, size_t> seen;
  const CResItem lone;
  for (const auto& row : testdata::Rows("config", "setting_keys.tsv")) {
    ASSERT_EQ(row.size(), 3u);
    const auto& settings = *tables.at(row[0]);
    const size_t i = seen[row[0]]++;
    ASSERT_LT(i, settings.size()) << row[1];
    EXPECT_EQ(settings[i].name().GetStr().ToUtf8(), row[1]);
    EXPECT_EQ(settings[i].text(lone).ToUtf8(), row[2]) << row[1];
    EXPECT_TRUE(settings[i].equalsDefault(lone)) << row[1];
  }
  ASSERT_EQ(seen.size(), tables.size());
  for (const auto& [name, settings] : tables) EXPECT_EQ(seen[name], settings->size()) << name;
}

}  // namespace

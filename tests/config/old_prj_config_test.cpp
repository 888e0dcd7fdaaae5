// The configuration of old project databases: the language list with its end
// markers and repeats, absent keys, unopenable files and the output type.
// The conversion of every stored value: itemtool's convert_test.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/FormatCfg.h"
#include "config/OldPrjConfig.h"
#include "config/PrjConfig.h"
#include "platform/TestData.h"
#include "serial/SerialTestUtil.h"
#include "storage/Storage.h"

namespace {

constexpr int kUndefined = 7777;

// A fresh project database at a temp path; values are written by each test.
CString FreshDb(const char* name) {
  const CString path = CString::FromUtf8(testutil::TempPath(name));
  std::remove(testutil::TempPath(name).c_str());
  CStorage(path).CreateDb();
  return path;
}

// Rows: the stored ids (with stray bytes after them), target and secondary
// language; the selection and secondary language loaded. 77777777 is the old
// end marker and undefined language, 7777 the new.
TEST(OldPrjConfigLoad, SelectedLanguageList) {
  const auto ints = [](const std::string& cell) {
    std::vector<int> values;
    std::istringstream in(cell);
    for (std::string value; std::getline(in, value, ',');) values.push_back(std::stoi(value));
    return values;
  };
  const CString db = FreshDb("old_cfg_langs.db");
  for (const auto& row : testdata::Rows("config", "old_langs.tsv")) {
    ASSERT_EQ(row.size(), 6u);
    {
      std::vector<unsigned char> bytes;
      for (const int lang : ints(row[0])) {
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<unsigned char>(lang >> (8 * b)));
      }
      bytes.resize(bytes.size() + std::stoul(row[1]), 0x11);
      CStorage s(db);
      s.SetData(u"SelectedLangs", bytes.data(), static_cast<unsigned int>(bytes.size()));
      s.SetInt(u"TargetLng", std::stoi(row[2]));
      s.SetInt(u"SecondaryLng", std::stoi(row[3]));
    }
    COldPrjConfig config;
    config.Load(db);
    EXPECT_EQ(config.SelectedLangs, ints(row[4])) << row[0];
    EXPECT_EQ(config.SecondaryLng, std::stoi(row[5])) << row[0];
  }
}

TEST(OldPrjConfigLoad, AbsentKeysAndUnopenableFilesKeepFields) {
  COldPrjConfig preset;
  preset.TargetLng = 0x0407;
  preset.FuzzyUpdate = 50;
  preset.RunLocalizedCmd = u"keep";
  preset.SelectedLangs = {0x0407, 0x0411};

  // A folder cannot be opened as a database: nothing changes at all.
  COldPrjConfig unopened = preset;
  unopened.Load(CString::FromUtf8(testutil::TempPath(".")));
  EXPECT_EQ(unopened.SelectedLangs, preset.SelectedLangs);

  // An empty store: scalar fields keep their values; the missing list
  // empties the selection, which the kept target then rejoins.
  COldPrjConfig loaded = preset;
  loaded.Load(FreshDb("old_cfg_empty.db"));
  EXPECT_EQ(loaded.FuzzyUpdate, 50);
  EXPECT_EQ(loaded.RunLocalizedCmd, CString(u"keep"));
  EXPECT_EQ(loaded.SelectedLangs, (std::vector<int>{0x0407}));

  // The structure's default for the form encoding is on, unlike the setting's.
  cfgtest::Tree tree;
  COldPrjConfig().Convert(*tree.root);
  const auto changed = CfgAccess::ListChanged(CDfmCfg::Settings(), *tree.root);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0].first + u" = " + changed[0].second, u"DFM.UseUnicode = true");
}

TEST(OldPrjConfigConvert, OutputTypeAndUndefinedSecondary) {
  struct Case {
    int resourceOnly, multipleLangs, outputType;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 1}, Case{0, 1, 2}, Case{1, 1, 1}}) {
    SCOPED_TRACE(testing::Message() << c.resourceOnly << "/" << c.multipleLangs);
    COldPrjConfig config;
    config.bPEResourceOnly = c.resourceOnly;
    config.bPEMultipleLangInFile = c.multipleLangs;
    cfgtest::Tree tree;
    CPrjConfig::AddSelectedLang(*tree.root, 0x0407);
    CPrjConfig::SetSecondary(*tree.root, 0x0407);
    config.Convert(*tree.root);
    EXPECT_EQ(CPEFormatCfg::GetOutputType(*tree.root), c.outputType);
    EXPECT_EQ(CPrjConfig::GetSecondary(*tree.root), kUndefined);  // the fresh selection has none
  }
}

}  // namespace

// The configuration of old project databases: each stored value read and
// converted to its setting, the language list with its end markers and
// repeats, absent keys and unopenable files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ConfigTestUtil.h"
#include "config/FormatCfg.h"
#include "config/OldPrjConfig.h"
#include "config/PrjConfig.h"
#include "serial/SerialTestUtil.h"
#include "storage/Storage.h"

namespace {

constexpr int kUndefined = 7777;
constexpr int kOldUndefined = 77777777;

// A fresh project database at a temp path; values are written by each test.
class OldDb {
 public:
  explicit OldDb(const char* name) : path_(testutil::TempPath(name)) {
    std::remove(path_.c_str());
    CStorage storage(Path());
    storage.CreateDb();
  }
  ~OldDb() { std::remove(path_.c_str()); }
  CString Path() const { return CString::FromUtf8(path_); }
  CStorage Open() const { return CStorage(Path()); }

  static void SetLangs(CStorage& storage, const std::vector<int>& langs, size_t extraBytes = 0) {
    std::vector<unsigned char> bytes;
    for (const int lang : langs) {
      for (int b = 0; b < 4; ++b) {
        bytes.push_back(static_cast<unsigned char>(static_cast<uint32_t>(lang) >> (8 * b)));
      }
    }
    bytes.resize(bytes.size() + extraBytes, 0x11);
    storage.SetData(u"SelectedLangs", bytes.data(), static_cast<unsigned int>(bytes.size()));
  }

 private:
  std::string path_;
};

// Loaded and converted: each stored key reaches its setting, read as the
// setting's type; a value of another file is not read.
TEST(OldPrjConfig, EveryStoredKeyBecomesItsSetting) {
  const OldDb db("old_cfg_all.db");
  {
    CStorage s = db.Open();
    OldDb::SetLangs(s, {0x040C});
    for (const auto& [key, value] : {std::pair{u"NativeLng", 0x0409},
                                     {u"TargetLng", 0x0407},
                                     {u"SecondaryLng", 0x0411},
                                     {u"RunLocalizedCustom", 3},
                                     {u"bCrashFinderAutoStart", 0},
                                     {u"bCrashUseTempDir", 0},
                                     {u"bPEResourceOnly", 1},
                                     {u"bPEMultipleLangInFile", 2},
                                     {u"bBorlandUnicode", 0},
                                     {u"FuzzyUpdate", 65}}) {
      s.SetInt(key, value);
    }
    for (const auto& [key, value] : {std::pair{u"RunLocalizedCmd", u"run.exe"},
                                     {u"RunLocalizedWorkDir", u"C:\\work"},
                                     {u"RunLocalizedCmdArgs", u"/x 'quoted'"},
                                     {u"CrashFinderDstDir", u"C:\\crash"}}) {
      s.SetStr(key, value);
    }
    s.SetInt(u"FuzzyUpdate", 70, u"other.exe");
  }
  COldPrjConfig c;
  c.Load(db.Path());
  cfgtest::Tree tree;
  c.Convert(*tree.root);
  EXPECT_EQ(
      cfgtest::Changed(CPrjConfig::Settings(), *tree.root),
      (cfgtest::Lines{
          "RunLocalizedCustom = true", "RunLocalizedCmd = run.exe",
          "RunLocalizedWorkDir = C:\\work", "RunLocalizedCmdArgs = /x 'quoted'",
          "CrashFinderDstDir = C:\\crash", "bCrashFinderAutoStart = false",
          "bCrashUseTempDir = false", "FuzzyUpdate = 65",
          "PrjLangs = native 1033, target 1031, secondary 1041, selected {1031, 1036, 1041}"}));
  EXPECT_EQ(cfgtest::Changed(CPEFormatCfg::Settings(), *tree.root),
            cfgtest::Lines{"MFC.OutputType = 1"});
  // Unread, the form encoding would convert as on (see the empty store below).
  EXPECT_TRUE(cfgtest::Changed(CDfmCfg::Settings(), *tree.root).empty());
}

TEST(OldPrjConfigLoad, SelectedLanguageList) {
  struct Case {
    const char* name;
    std::vector<int> stored;
    size_t extraBytes;
    int target, secondary;
    std::vector<int> expected;
    int expectedSecondary;
  };
  const int kU = kUndefined;
  const Case cases[] = {
      {"old end marker cuts", {1031, 1036, kOldUndefined, 1040}, 0, kU, kU, {1031, 1036}, kU},
      {"end marker cuts", {1040, kU, 1031}, 0, kU, kU, {1040}, kU},
      {"first marker of either kind", {1031, kU, 1036, kOldUndefined}, 0, kU, kU, {1031}, kU},
      {"sorted, repeats dropped", {1036, 1031, 1036}, 0, kU, kU, {1031, 1036}, kU},
      {"partial id ignored", {1031}, 3, kU, kU, {1031}, kU},
      {"target and secondary join", {1036}, 0, 1040, 1041, {1036, 1040, 1041}, 1041},
      {"target already listed", {1040}, 0, 1040, kU, {1040}, kU},
      {"old undefined secondary adds nothing", {1031}, 0, 1036, kOldUndefined, {1031, 1036}, kU},
  };
  const OldDb db("old_cfg_langs.db");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      CStorage s = db.Open();
      OldDb::SetLangs(s, c.stored, c.extraBytes);
      s.SetInt(u"TargetLng", c.target);
      s.SetInt(u"SecondaryLng", c.secondary);
    }
    COldPrjConfig config;
    config.Load(db.Path());
    EXPECT_EQ(config.SelectedLangs, c.expected);
    EXPECT_EQ(config.SecondaryLng, c.expectedSecondary);
  }
}

TEST(OldPrjConfigLoad, AbsentKeysAndUnopenableFilesKeepFields) {
  COldPrjConfig preset;
  preset.NativeLng = 0x0409;
  preset.TargetLng = 0x0407;
  preset.FuzzyUpdate = 50;
  preset.bBorlandUnicode = 0;
  preset.RunLocalizedCmd = u"keep";
  preset.SelectedLangs = {0x0407, 0x0411};

  // A folder cannot be opened as a database: nothing changes at all.
  COldPrjConfig unopened = preset;
  unopened.Load(CString::FromUtf8(testutil::TempPath(".")));
  EXPECT_EQ(unopened.SelectedLangs, preset.SelectedLangs);
  EXPECT_EQ(unopened.FuzzyUpdate, 50);

  // An empty store: scalar fields keep their values; the missing list
  // empties the selection, which the kept target then rejoins.
  const OldDb db("old_cfg_empty.db");
  COldPrjConfig loaded = preset;
  loaded.Load(db.Path());
  EXPECT_EQ(loaded.NativeLng, 0x0409);
  EXPECT_EQ(loaded.FuzzyUpdate, 50);
  EXPECT_EQ(loaded.bBorlandUnicode, 0);
  EXPECT_EQ(loaded.RunLocalizedCmd, CString(u"keep"));
  EXPECT_EQ(loaded.SelectedLangs, (std::vector<int>{0x0407}));

  // The structure's default for the form encoding is on, unlike the setting's.
  cfgtest::Tree tree;
  COldPrjConfig().Convert(*tree.root);
  EXPECT_EQ(cfgtest::Changed(CDfmCfg::Settings(), *tree.root),
            cfgtest::Lines{"DFM.UseUnicode = true"});
  EXPECT_EQ(CPEFormatCfg::GetOutputType(*tree.root), 0);
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

TEST(OldPrjConfigConvert, StoresOnlyWhatDiffersFromTheParent) {
  COldPrjConfig c;
  c.FuzzyUpdate = 70;
  c.bBorlandUnicode = 0;
  c.RunLocalizedCmd = u"run.exe";
  cfgtest::Tree tree;
  c.Convert(*tree.root);
  c.FuzzyUpdate = 80;
  c.Convert(*tree.file);
  std::vector<std::string> keys;
  for (const auto& entry : tree.file->GetCfgProps().GetProps()) {
    keys.push_back(entry.first.ToString().ToUtf8());
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"@FuzzyUpdate"}));
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(*tree.file), 80);
}

}  // namespace

// The configuration of old project databases: each stored value read into
// its field (the language list with its end markers and repeats), absent
// keys and unopenable files, and the conversion of every field to settings.
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

TEST(OldPrjConfigLoad, EveryKeyFillsItsField) {
  const OldDb db("old_cfg_all.db");
  {
    CStorage s = db.Open();
    s.SetInt(u"NativeLng", 0x0409);
    OldDb::SetLangs(s, {0x040C});
    s.SetInt(u"TargetLng", 0x0407);
    s.SetInt(u"SecondaryLng", 0x0411);
    s.SetInt(u"RunLocalizedCustom", 3);
    s.SetStr(u"RunLocalizedCmd", u"run.exe");
    s.SetStr(u"RunLocalizedWorkDir", u"C:\\work");
    s.SetStr(u"RunLocalizedCmdArgs", u"/x 'quoted'");
    s.SetStr(u"CrashFinderDstDir", u"C:\\crash");
    s.SetInt(u"bCrashFinderAutoStart", 0);
    s.SetInt(u"bCrashUseTempDir", 0);
    s.SetInt(u"bPEResourceOnly", 1);
    s.SetInt(u"bPEMultipleLangInFile", 2);
    s.SetInt(u"bBorlandUnicode", 0);
    s.SetInt(u"FuzzyUpdate", 65);
    s.SetInt(u"FuzzyUpdate", 70, u"other.exe");  // another file's value is not read
  }
  COldPrjConfig c;
  c.Load(db.Path());
  EXPECT_EQ(c.NativeLng, 0x0409);
  EXPECT_EQ(c.TargetLng, 0x0407);
  EXPECT_EQ(c.SecondaryLng, 0x0411);
  EXPECT_EQ(c.SelectedLangs, (std::vector<int>{0x0407, 0x040C, 0x0411}));
  EXPECT_EQ(c.RunLocalizedCustom, 3);
  EXPECT_EQ(c.RunLocalizedCmd, CString(u"run.exe"));
  EXPECT_EQ(c.RunLocalizedWorkDir, CString(u"C:\\work"));
  EXPECT_EQ(c.RunLocalizedCmdArgs, CString(u"/x 'quoted'"));
  EXPECT_EQ(c.CrashFinderDstDir, CString(u"C:\\crash"));
  EXPECT_EQ(c.bCrashFinderAutoStart, 0);
  EXPECT_EQ(c.bCrashUseTempDir, 0);
  EXPECT_EQ(c.bPEResourceOnly, 1);
  EXPECT_EQ(c.bPEMultipleLangInFile, 2);
  EXPECT_EQ(c.bBorlandUnicode, 0);
  EXPECT_EQ(c.FuzzyUpdate, 65);
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
}

TEST(OldPrjConfigConvert, FieldsBecomeSettings) {
  COldPrjConfig c;
  c.NativeLng = 0x0409;
  c.SelectedLangs = {0x0407, 0x040C};
  c.TargetLng = 0x040C;
  c.SecondaryLng = 0x0407;
  c.RunLocalizedCustom = 5;
  c.RunLocalizedCmd = u"run.exe";
  c.RunLocalizedWorkDir = u"work";
  c.RunLocalizedCmdArgs = u"-x";
  c.CrashFinderDstDir = u"crash";
  c.bCrashFinderAutoStart = 0;
  c.bCrashUseTempDir = 0;
  c.FuzzyUpdate = 70;
  cfgtest::Tree tree;
  c.Convert(*tree.root);
  const CResItem& r = *tree.root;
  EXPECT_EQ(CPrjConfig::GetNative(r), 0x0409);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(r), (CLangSet{0x0407, 0x040C}));
  EXPECT_EQ(CPrjConfig::GetTarget(r), 0x040C);
  EXPECT_EQ(CPrjConfig::GetSecondary(r), 0x0407);
  EXPECT_TRUE(CPrjConfig::GetRunLocalizedCustom(r));
  EXPECT_EQ(CPrjConfig::GetRunLocalizedCmd(r), CString(u"run.exe"));
  EXPECT_EQ(CPrjConfig::GetRunLocalizedWorkDir(r), CString(u"work"));
  EXPECT_EQ(CPrjConfig::GetRunLocalizedCmdArgs(r), CString(u"-x"));
  EXPECT_EQ(CPrjConfig::GetCrashFinderDstDir(r), CString(u"crash"));
  EXPECT_FALSE(CPrjConfig::GetbCrashFinderAutoStart(r));
  EXPECT_FALSE(CPrjConfig::GetbCrashUseTempDir(r));
  EXPECT_EQ(CPrjConfig::GetFuzzyUpdate(r), 70);
  // The structure's default for the form encoding is on, unlike the setting's.
  EXPECT_TRUE(CDfmCfg::GetUseUnicode(r));
  EXPECT_EQ(CPEFormatCfg::GetOutputType(r), 0);
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

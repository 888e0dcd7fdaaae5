// Reading the old named values and turning them into current settings. The
// language list gets the most care: old files stored it as a raw array whose
// end was marked by an undefined language rather than by its length.
#include "config/OldPrjConfig.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "config/FormatCfg.h"
#include "config/PrjConfig.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "storage/Storage.h"

const int COldPrjConfig::MaxSelLang = 75;

namespace {

// Project-wide values are stored under the empty file name.
constexpr char16_t kProjectFile[] = u"";

// "MFC.OutputType" values of the executable writer.
constexpr int kOutputPerLanguage = 0;
constexpr int kOutputResourceOnly = 1;
constexpr int kOutputMultiLanguage = 2;

void CutBefore(std::vector<int>& langs, int marker) {
  langs.erase(std::find(langs.begin(), langs.end(), marker), langs.end());
}

}  // namespace

void COldPrjConfig::Load(const CString& path) {
  CStorage storage(path);
  if (!storage.IsGood()) return;

  storage.GetInt(NativeLng, u"NativeLng", kProjectFile);

  unsigned int size = 0;
  const std::unique_ptr<unsigned char[]> data(
      storage.GetData(u"SelectedLangs", size, kProjectFile));
  SelectedLangs.clear();
  if (data) {
    // Little-endian 32-bit ids; a trailing partial id is ignored.
    SelectedLangs.reserve(size / 4);
    for (unsigned int i = 0; i + 4 <= size; i += 4) {
      const unsigned char* p = data.get() + i;
      const uint32_t raw = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
      SelectedLangs.push_back(static_cast<int>(raw));
    }
    // Old writers ended the array with an undefined language, in either
    // spelling; whatever follows it is stale memory, not selection.
    CutBefore(SelectedLangs, CLangId::OldUndefined);
    CutBefore(SelectedLangs, CLangId::Undefined);
    NormalizeSelLng();
  }

  storage.GetInt(TargetLng, u"TargetLng", kProjectFile);
  AddSelectedLang(TargetLng);

  storage.GetInt(SecondaryLng, u"SecondaryLng", kProjectFile);
  if (SecondaryLng == CLangId::OldUndefined) SecondaryLng = CLangId::Undefined;
  AddSelectedLang(SecondaryLng);

  storage.GetInt(RunLocalizedCustom, u"RunLocalizedCustom", kProjectFile);
  storage.GetStr(RunLocalizedCmd, u"RunLocalizedCmd", kProjectFile);
  storage.GetStr(CrashFinderDstDir, u"CrashFinderDstDir", kProjectFile);
  storage.GetStr(RunLocalizedWorkDir, u"RunLocalizedWorkDir", kProjectFile);
  storage.GetStr(RunLocalizedCmdArgs, u"RunLocalizedCmdArgs", kProjectFile);
  storage.GetInt(bCrashFinderAutoStart, u"bCrashFinderAutoStart", kProjectFile);
  storage.GetInt(bCrashUseTempDir, u"bCrashUseTempDir", kProjectFile);
  storage.GetInt(bPEResourceOnly, u"bPEResourceOnly", kProjectFile);
  storage.GetInt(bPEMultipleLangInFile, u"bPEMultipleLangInFile", kProjectFile);
  storage.GetInt(bBorlandUnicode, u"bBorlandUnicode", kProjectFile);
  storage.GetInt(FuzzyUpdate, u"FuzzyUpdate", kProjectFile);
}

void COldPrjConfig::Convert(CResItem& item) const {
  CPrjConfig::SetPrjLangs(item, CPrjLangs(NativeLng));
  CPrjConfig::SetRunLocalizedCustom(item, RunLocalizedCustom != 0);
  CPrjConfig::SetRunLocalizedCmd(item, RunLocalizedCmd);
  CPrjConfig::SetRunLocalizedWorkDir(item, RunLocalizedWorkDir);
  CPrjConfig::SetRunLocalizedCmdArgs(item, RunLocalizedCmdArgs);
  // A resource-only build wins over the multi-language file, as it did in
  // the old option dialog.
  const int outputType = bPEResourceOnly != 0         ? kOutputResourceOnly
                         : bPEMultipleLangInFile != 0 ? kOutputMultiLanguage
                                                      : kOutputPerLanguage;
  CPEFormatCfg::SetOutputType(item, outputType);
  CPrjConfig::SetCrashFinderDstDir(item, CrashFinderDstDir);
  CPrjConfig::SetbCrashFinderAutoStart(item, bCrashFinderAutoStart != 0);
  CPrjConfig::SetbCrashUseTempDir(item, bCrashUseTempDir != 0);
  CDfmCfg::SetUseUnicode(item, bBorlandUnicode != 0);
  CPrjConfig::SetFuzzyUpdate(item, FuzzyUpdate);

  CLangSet selected(SelectedLangs.begin(), SelectedLangs.end());
  selected.erase(CLangId::Undefined);
  CPrjConfig::SetSelectedLangs(item, selected);
  CPrjConfig::SetTarget(item, TargetLng);
  if (SecondaryLng != CLangId::Undefined) CPrjConfig::SetSecondary(item, SecondaryLng);
}

void COldPrjConfig::AddSelectedLang(int lang) {
  SelectedLangs.push_back(lang);
  NormalizeSelLng();
}

void COldPrjConfig::NormalizeSelLng() {
  std::sort(SelectedLangs.begin(), SelectedLangs.end());
  SelectedLangs.erase(std::unique(SelectedLangs.begin(), SelectedLangs.end()),
                      SelectedLangs.end());
  SelectedLangs.erase(std::remove(SelectedLangs.begin(), SelectedLangs.end(), CLangId::Undefined),
                      SelectedLangs.end());
}

// The configuration of projects of the older database kind: named values in
// the project database's value store, read into a plain structure and written
// onto an item as current settings. Used only when such a project is opened.
#pragma once

#include <vector>

#include "items/TransItem.h"
#include "platform/CString.h"

class CResItem;

// The old settings, each field named after the stored key that fills it.
// Flags are ints: the old store kept them as numbers, and any value but 0
// counts as set. Copy, assignment and destruction are member-wise.
struct COldPrjConfig {
  // The most languages an old project could select. Informational: nothing
  // limits the list by it.
  static const int MaxSelLang;

  COldPrjConfig() = default;

  // Opens the project database at `path` and reads every old value found
  // there for the project (the empty file name). Absent keys, and a file that
  // cannot be opened, leave fields unchanged; open errors reach the message
  // panel through the storage layer. A missing file is created empty.
  void Load(const CString& path);

  // Writes the values as current settings of `item` through the setting
  // accessors, so a value equal to what `item` already inherits is not
  // stored. The language selection is rebuilt from the native language up.
  void Convert(CResItem& item) const;

  int RunLocalizedCustom = 0;
  CString RunLocalizedCmd;
  CString RunLocalizedWorkDir;
  CString RunLocalizedCmdArgs;
  int bPEResourceOnly = 0;
  int bPEMultipleLangInFile = 0;
  CString CrashFinderDstDir;
  int bCrashFinderAutoStart = 1;
  int bCrashUseTempDir = 1;
  int bBorlandUnicode = 1;
  int FuzzyUpdate = 90;
  // Ascending, each language once, never the undefined language.
  std::vector<int> SelectedLangs;
  int NativeLng = CLangId::Undefined;
  int TargetLng = CLangId::Undefined;
  int SecondaryLng = CLangId::Undefined;

 private:
  // Appends `lang`, then normalizes.
  void AddSelectedLang(int lang);
  // Sorts ascending, drops repeats and every undefined language.
  void NormalizeSelLng();
};

// System services the tool shares: registry strings, system error texts,
// string resources, running external programs with their output sent to the
// message panel, .NET detection, and the run report file a run leaves behind.
#pragma once

#include <string>
#include <vector>

#include "platform/CString.h"
#include "platform/Registry.h"

// The string value `valueName` of `subKey` under `root`; empty when the key
// or value cannot be read (always, on a machine without a registry).
CString ReadRegistryStr(Registry::HKEY root, const char16_t* subKey, const char16_t* valueName);
// The system text of the last failed call's error number.
CString GetLastErrorStr();
// String resource `id` of the host application; empty when there is none.
CString L(int id);
// The same as UTF-8, the 8-bit form of this machine.
std::string LA(int id);
// `out` := the ids as "1033, 1031"; an empty list leaves `out` as it was.
void GetLngStr(CString& out, const std::vector<int>& langs);

// Runs `file` + " " + `params` (split by the Windows command-line rules, no
// quoting added) in `dir` (null or empty: the caller's folder), with standard
// output and error captured as UTF-8 text into `output`. With `reportLines`
// every completed line (up to its last CR or LF) goes to the message panel as
// it arrives, as process output; whatever is left, or everything without
// `reportLines`, goes as one message at the end. True when the program ran
// and exited with 0. When it cannot be started: false, `exitCode` and
// `output` untouched, nothing reported.
bool ExecuteExternalFileEx(unsigned long& exitCode, CString& output, bool reportLines,
                           const char16_t* file, const char16_t* params, const char16_t* dir);
// The same without the exit code.
bool ExecuteExternalFile(CString& output, bool reportLines, const char16_t* file,
                         const char16_t* params, const char16_t* dir);

// Installed .NET Framework versions, from the registry (none here).
bool IsNetfx10Installed();
bool IsNetfx11Installed();
bool IsNetfx20Installed();
bool IsNetfx30Installed();
bool IsNetfx40Installed();
// True when version 2.0 is installed, or 1.1 and `requireV2` is false.
// Otherwise sends string resource `messageId` to the message panel as an
// error report (and, the first time in the process, shows it in a message
// box) and returns false.
bool IsNetfxInstalled(bool requireV2, unsigned int messageId);

namespace MiscUtil {

// The result code and text a run of the tool leaves for whoever started it.
// File format: the result as 32-bit little-endian, then the text as
// UTF-16LE code units; no header, byte-order mark or terminator.
class RunReportFile {
 public:
  RunReportFile() = default;

  RunReportFile& SetFileName(CString fileName);
  RunReportFile& SetResult(unsigned int result);
  RunReportFile& SetText(CString text);
  const CString& GetFileName() const { return fileName_; }
  const CString& GetText() const { return text_; }
  unsigned int GetResult() const { return result_; }

  // Reads the result and at most kMaxTextLength code units of text (an odd
  // last byte is ignored). False, fields unchanged, when the file cannot be
  // opened or holds fewer than 4 bytes.
  bool Read();
  // Creates or truncates the file; false when it cannot be written whole.
  bool Write() const;
  // True when the file was deleted.
  bool Delete() const;
  bool Exists() const;

  static constexpr int kMaxTextLength = 1024;

 private:
  CString fileName_;
  CString text_;
  unsigned int result_ = 0;
};

// The process-wide report, written to its file name when the library is
// unloaded (nothing is written while the name is empty).
class RunReportFileHolder : public RunReportFile {
 public:
  static RunReportFileHolder& Instance();
  ~RunReportFileHolder();

  RunReportFileHolder(const RunReportFileHolder&) = delete;
  RunReportFileHolder& operator=(const RunReportFileHolder&) = delete;

 private:
  RunReportFileHolder() = default;
};

}  // namespace MiscUtil

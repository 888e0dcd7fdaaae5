// Projects as itemtool sees them: a sample project for the demo, saving and
// loading a project file, and the `info` summary of one.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "items/ResItem.h"
#include "serial/VersionInfo.h"

namespace itemtool {

// Item types as the parsers number them, and the languages of the samples.
constexpr int kProjectType = 1;
constexpr int kFileType = 2;
constexpr int kDialogType = 5;
constexpr int kControlType = 6;
constexpr int kStringType = 7;
constexpr int kEnglish = 0x0409;
constexpr int kGerman = 0x0407;
constexpr int kJapanese = 0x0411;

// A small but real project: a root with settings, two files with dialogs,
// controls and strings, translated into three languages.
std::unique_ptr<CResItem> BuildSampleProject();

// The gzip level of the project files the tool writes.
constexpr int kProjectGzipLevel = 2;

// Saves the project below `root` at `path` (UTF-8) with the safe save.
// Returns the exit status; a failure prints "itemtool: PATH: cannot write:
// REASON" on `err`.
int SaveProject(const std::string& path, const CResItem& root, std::ostream& err);

// Loads the project at `path` (UTF-8) with LoadProjectFile. False, with one
// line "itemtool: PATH: REASON" on `err`, when it cannot.
bool LoadProject(const std::string& path, std::unique_ptr<CResItem>& root, std::ostream& err);

// The save level that keeps an existing project's kind when it is replaced:
// gzip stays gzip (at kProjectGzipLevel), plain stays plain.
int SaveLevelOf(const std::string& path);

// Prints the line of a failed write and returns its exit status.
int CannotWrite(const std::string& path, const CString& reason, std::ostream& err);

// What `info` reports of a project.
struct ProjectInfo {
  unsigned long long items = 0;
  unsigned long long translations = 0;
  unsigned long long properties = 0;  // of items and translations
  unsigned long long settings = 0;    // configuration properties
  unsigned long long depth = 0;       // levels below the root
  std::vector<int> languages;         // ascending
};

ProjectInfo Summarize(const CResItem& root);

// Loads the project file at `path` and prints its summary. Returns the exit
// status; a failure prints one line on `err`.
int InfoFile(const std::string& path, bool json, std::ostream& out, std::ostream& err);

}  // namespace itemtool

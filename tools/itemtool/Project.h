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

// Saves the tree below `root` as a gzip project file. False when the file
// cannot be created.
bool SaveProjectFile(const std::string& path, CResItem& root);

// Writes the project below `root`, which stays the caller's.
bool WriteProject(Serial::ISerialStream& s, CResItem& root);

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

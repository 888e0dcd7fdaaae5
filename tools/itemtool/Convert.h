// The `itemtool convert` and `itemtool sample-olddb` commands: turn a project
// database of the older SQLite 2 kind into a current gzip project file, and
// write such a database for demos, tests and fuzz seeds.
#pragma once

#include <iosfwd>
#include <string>

#include "Project.h"

namespace itemtool {

// What a conversion produced, for its one-line summary.
struct ConvertSummary {
  ProjectInfo info;
  unsigned long long binaryBytes = 0;        // data blocks and binary properties
  unsigned long long convertedSettings = 0;  // settings the old configuration stored on the root
};

// Data blocks of items and translations plus the bytes of binary properties.
unsigned long long CountBinaryBytes(const CResItem& root);

// Converts the old project `oldPath` into the project file `newPath` and
// prints the summary line on `out`. Messages of the message panel go to
// `err`, as does a progress bar per loading phase when `progress` is set.
// The old file is first checked by the program `checker` (empty: the one
// the library finds, see CheckProjectDatabase). Returns kExitMalformed for a
// file that is not an old project, is damaged or holds no items, and
// kExitUnreadable when the old file is missing or cannot be checked, or the
// new one cannot be written.
int ConvertFile(const std::string& oldPath, const std::string& newPath, bool progress,
                std::ostream& out, std::ostream& err, const std::string& checker = "");

// Writes an old project database at `path` (an existing file is replaced):
// a root, two files, a dialog with a control, strings, translations into two
// languages, properties of every stored kind, old settings, and on the first
// file a data block of `blockSize` bytes (more than one chunk when it exceeds
// CStorage::MAX_BINARY_SIZE). False, with a line on `err`, when it fails.
bool WriteSampleOldDb(const std::string& path, unsigned int blockSize, std::ostream& err);

// The block size of `itemtool sample-olddb`: one full chunk and a bit.
constexpr unsigned int kSampleBlockSize = 1200000;

}  // namespace itemtool

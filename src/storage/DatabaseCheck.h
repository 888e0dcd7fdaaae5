// Checking an old project database from outside before this process opens
// it: SQLite 2.8 can crash or loop forever on some damaged files, so a
// separate program reads the file first, under a wall-clock limit.
#pragma once

#include <chrono>
#include <string>

#include "platform/CString.h"

// The checking program, installed beside itemtool.
constexpr const char* kDatabaseCheckerName = "itemlib-dbcheck";

enum class DatabaseCheck {
  kSound,      // read through the way the library reads it: safe to open here
  kDamaged,    // the checker crashed, or found a field that runs past its row
  kTimedOut,   // the checker did not finish within the limit and was killed
  kNoChecker,  // the checking program could not be found or started
};

struct DatabaseCheckOptions {
  // Path of the checking program; empty: FindDatabaseChecker().
  std::string checker;
  // Wall-clock limit; zero: DatabaseCheckLimit of the file's size.
  std::chrono::milliseconds limit{0};
};

// The checking program beside the running program, else in the folder the
// package installs programs into; empty when neither holds it.
std::string FindDatabaseChecker();

// Five seconds for a small file, two more per MiB of file and journal.
std::chrono::milliseconds DatabaseCheckLimit(unsigned long long bytes);

// Reads the database at `path` in a separate process the way CStorage, its
// loader and COldPrjConfig read it, and reports whether that process came
// through. A missing or empty file with no journal is sound without a
// process: SQLite creates it. Blocks for at most the limit; no process
// outlives the call. Call it once per file before opening an old project
// that this process did not write; CStorage itself does not check.
DatabaseCheck CheckProjectDatabase(const CString& path, const DatabaseCheckOptions& options = {});

// The `itemtool dump` command: loading a serial file into a tree and printing
// the node "Root" as indented text or as one line of JSON. Kept apart from
// main() so that tests and the tree fuzzer can print trees they build.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "serial/SerialTree.h"
#include "serial/Streams.h"
#include "serial/VersionInfo.h"

namespace itemtool {

enum class DumpFormat { kText, kJson };

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitMalformed = 1;
constexpr int kExitUnreadable = 2;  // also usage errors

// Text lines deeper than this keep this level's indent and show their level
// as "<N> " instead, so that a hostile nesting depth cannot make the output
// grow with the square of the input.
constexpr size_t kMaxIndentLevels = 100;

// Prints the child named "Root" of `top` (the top-level node of a loaded
// stream) and all its content. Fields come first, then anonymous children in
// order, then named children in NodeName order. Iterative, so any depth is
// safe. REQUIRES: `top` has a child named "Root".
void PrintRoot(const Serial::SerialTreeNode& top, const Serial::VersionInfo& version,
               DumpFormat format, std::ostream& out);

// Loads a whole serial stream and prints it. Returns false, with nothing
// printed, when the bytes are not a valid serial stream.
bool DumpStream(Serial::IStreamIn& in, DumpFormat format, std::ostream& out);

// Opens the file at `path` (UTF-8) for reading, plain or gzip (zlib reads a
// plain file through unchanged). Null, with one line on `err`, when it cannot.
std::unique_ptr<Serial::GZFileStreamIn> OpenSerialFile(const std::string& path, std::ostream& err);

// Reads the rest of `in` and checks a gzip file's checksum and length. False,
// with one line on `err`, when they do not match: a reader may stop well
// before the end, so only this proves the file whole.
bool CheckWholeFile(Serial::GZFileStreamIn& in, const std::string& path, std::ostream& err);

// Dumps the file at `path` (UTF-8), read through gzip when it starts with
// the gzip magic bytes. Returns the exit status; a failure prints one line
// on `err` and nothing on `out`.
int DumpFile(const std::string& path, DumpFormat format, std::ostream& out, std::ostream& err);

// Appends `text` as a JSON string, quotes included, in UTF-8. A lone
// surrogate becomes U+FFFD so that the output stays valid.
void AppendJsonString(std::string& out, std::u16string_view text);

}  // namespace itemtool

// The `itemtool example` command: a small object graph that shows the kinds
// of values persistent classes store, written as a gzip serial file.
#pragma once

#include <string>

#include "platform/CString.h"
#include "serial/ISerialStream.h"

namespace itemtool {

// The gzip level of example files, as the library's own saves use.
constexpr unsigned int kExampleGzipLevel = 2;

// Writes the example graph to `s` (below "Root" for a binary writer).
void WriteExampleGraph(Serial::ISerialStream& s);

// Writes the example graph to a gzip serial file at `path` (UTF-8) with the
// safe save. False, with the reason in `error`, when it cannot.
bool WriteExampleFile(const std::string& path, CString& error);

}  // namespace itemtool

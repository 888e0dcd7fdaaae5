// The `itemtool hhp` and `itemtool sample-hhp` commands: print the project
// text of a help project description stored in a serial file, and write such
// a file. Kept out of main() so that tests can call them.
//
// File layout: a serial file (plain or gzip) whose "Root" body is one owned
// polymorphic property value (null flag, class name, value) as the property
// class registry writes it; the value must be a CHhpInfoProp.
#pragma once

#include <iosfwd>
#include <string>

#include "help/HhpInfo.h"
#include "serial/ISerialStream.h"

namespace itemtool {

// A help project with every section filled, for the demo and the tests.
CHhpInfo BuildSampleHhp();

// The body of a help project file: `info` as one polymorphic property value.
bool WriteHhp(Serial::ISerialStream& s, const CHhpInfo& info);

// Writes `info` as a gzip help project file at `path` (UTF-8) with the safe
// save. False, with the reason in `error`, when it cannot.
bool SaveHhpFile(const std::string& path, const CHhpInfo& info, CString& error);

// Reads the help project file at `path` and prints its project text.
// Returns the exit status; a failure prints one line on `err`.
int PrintHhpFile(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace itemtool

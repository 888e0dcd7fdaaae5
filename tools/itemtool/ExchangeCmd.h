// The `export` and `import` commands: a project's texts of one language out
// to XLIFF or PO for translators, and their translations back in.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace itemtool {

// export PROJECT --lang LANG -o FILE [--format xliff|xliff2|po]
//        [--untranslated] [--source LANG]
// Returns the exit status; messages go to `err`.
int ExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// import PROJECT FILE [-o OUT] [--json]
// Prints one line of counts (or JSON) on `out`; stale and unknown ids on
// `err`. A refused document exits 1 and writes nothing.
int ImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace itemtool

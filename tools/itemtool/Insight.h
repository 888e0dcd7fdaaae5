// The `itemtool stats`, `check` and `pseudo` commands: how much of a project
// is translated, which translations are broken, and a pseudo-translation for
// testing the interface. Each parses its own options.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace itemtool {

constexpr char kInsightUsage[] =
    "       itemtool stats PROJECT [--lang LANG]... [--by-file] [--json]\n"
    "       itemtool check PROJECT [--lang LANG]... [--json]\n"
    "       itemtool pseudo PROJECT --lang LANG [--expand PERCENT] [-o OUT]\n";

// Whether `command` is one of the three.
bool IsInsightCommand(const std::string& command);

// Runs the command with its arguments (after the command name). Languages
// are those the project selects; --lang picks some of them. Exit status:
// 0, or for `check` 1 when it found anything; 2 for usage errors and
// projects that cannot be read (with one line on `err`).
int RunInsightCommand(const std::string& command, const std::vector<std::string>& args,
                      std::ostream& out, std::ostream& err);

}  // namespace itemtool

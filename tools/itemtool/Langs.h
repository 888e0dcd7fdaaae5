// The `itemtool langs` command: the language table of the running system as
// the library sees it, as aligned text or as JSON. Apart from main() so that
// tests can read what it prints.
#pragma once

#include <iosfwd>

namespace itemtool {

// Prints one line per language in ascending id order: id (0x%04x), culture
// name, long name, Windows abbreviation, ANSI code page and "rtl" for right
// to left. With `json`, one array of objects with the keys id, culture,
// name, abbrev, ansi and rtl. Returns the exit status; the caller checks
// that `out` took the text.
int PrintLangs(bool json, std::ostream& out);

}  // namespace itemtool

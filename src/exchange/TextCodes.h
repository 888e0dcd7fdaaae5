// The parts of a UI text that a translation must carry over unchanged:
// control characters, backslash escapes, printf and .NET placeholders and
// accelerator keys, and the whitespace and punctuation at its ends. Checks,
// word counts and pseudo-translation all read texts through this scanner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

enum class CodeKind {
  kControl,      // a character below U+0020, or U+007F
  kEscape,       // "\\" or a backslash and one of a b f n r t v
  kPrintf,       // "%d", "%-5.2f", "%1$s", "%%", and FormatMessage's "%1", "%1!d!"
  kDotNet,       // "{0}", "{1:N2}", "{0,-10}"
  kAccelerator,  // "&" and a letter or digit ("&&" is a plain ampersand)
};

// One code found in a text. `type` tells codes of one kind apart where the
// kind has types: the printf conversion with its length ("d", "ld", "%"),
// the .NET format after ":", the escape's letter, the control character.
struct CTextCode {
  CodeKind kind;
  uint32_t begin;   // in UTF-16 units
  uint32_t length;
  int index;        // the argument: printf and .NET, 0 elsewhere; "%%" has 0
  char32_t key;     // the accelerator's key, upper-cased; 0 elsewhere
  std::u16string_view type;
};

// Appends the codes of `text`, in text order, to `out` (not cleared).
// Printf placeholders without a position are numbered 1, 2... in order, so
// that "%s %d" and "%2$d %1$s" carry the same arguments.
void ScanCodes(std::u16string_view text, std::vector<CTextCode>& out);

// How a text ends, for the terminal punctuation check.
enum class EndPunct { kNone, kStop, kColon, kQuestion, kExclamation, kEllipsis };

// A text as lead whitespace, body, tail and trail whitespace: the tail is the
// terminal punctuation and, after it, an accelerator group in the East Asian
// style ("(&F)"), either may be absent. A text of whitespace only is all lead.
// Punctuation that belongs to a code ("%1!d!") does not end the text.
struct CTextEnds {
  size_t bodyBegin;
  size_t tailBegin;
  size_t trailBegin;
  EndPunct punct;
};

// `codes` must be ScanCodes of `text`.
CTextEnds SplitEnds(std::u16string_view text, const std::vector<CTextCode>& codes);

// Whether the text has a letter outside its codes ("%s" and "\n" have none).
// `codes` must be ScanCodes of `text`.
bool HasLetters(std::u16string_view text, const std::vector<CTextCode>& codes);

// Conversions between the stored form of texts and the forms the tool shows
// or writes: backslash escapes for editors, the unified "#number"/"@name"
// text of resource identifiers, and apostrophe doubling for SQL literals.
#pragma once

#include <cstdint>

#include "platform/CString.h"

// A resource is named either by a string or by a 16-bit number smuggled in
// the pointer value itself, as Windows does: a pointer whose bits above the
// low 16 are all zero is such a number (null is number 0).
inline bool IS_INTRESOURCE(const char16_t* res) {
  return (reinterpret_cast<uintptr_t>(res) >> 16) == 0;
}

// The integer resource for `id`; only its low 16 bits are kept.
inline char16_t* MAKEINTRESOURCE(unsigned long id) {
  return reinterpret_cast<char16_t*>(static_cast<uintptr_t>(static_cast<uint16_t>(id)));
}

// The number of an integer resource.
// REQUIRES: IS_INTRESOURCE(res).
inline unsigned short IntResourceNumber(const char16_t* res) {
  return static_cast<unsigned short>(reinterpret_cast<uintptr_t>(res));
}

// ---- Escapes and display form ----
//
// The texts are taken by value so that a text needing no change is handed
// back without a copy.

// Doubles every backslash and writes bell, backspace, form feed, line feed,
// carriage return, horizontal and vertical tab as \a \b \f \n \r \t \v.
CString ShowEscapeCodes(CString s);
// The inverse of ShowEscapeCodes, for any text a user may type: a run of k
// backslashes gives k/2 of them; after an odd run, a lower-case escape letter
// gives its control character and any other character stands for itself. A
// lone backslash at the end is dropped.
CString HideEscapeCodes(CString s);

// Both return `s` as it is: formatting symbols are shown as they are stored.
CString ShowFormattingSymols(CString s);
CString HideFormattingSymbols(CString s);

// The editor text of a unified identifier: empty for a numeric one, otherwise
// the name with its escapes shown.
CString StrToGuiStr(const CString& unified);
// The unified named identifier for an editor text.
CString GuiStrToStr(const CString& text);

// `s` with every apostrophe doubled, for an SQL string literal; null is empty.
CString DuplicateSpecChar(const char16_t* s);

// ---- Unified resource identifiers ----
//
// "#" and a decimal number name a numeric identifier, "@" and a text a named
// one. Numbers are read as by _wtoi64 (optional ASCII white space and sign,
// then digits up to the first non-digit; 0 when there are none; saturating at
// the 64-bit limits) and truncated to 32 bits, the width of unsigned long
// where the format was made. Null texts are taken as empty.

// "#" and the number of an integer resource, otherwise "@" and the text.
CString ToUnifiedFmt(const char16_t* res);
// "#" and `id` truncated to 32 bits.
CString ToUnifiedFmt(unsigned long id);
// Same texts as ToUnifiedFmt(const char16_t*).
CString Res2Unified(const char16_t* res);
// A "#" identifier becomes an integer resource (low 16 bits, no allocation);
// any other becomes a new[] copy of its name that the caller delete[]s.
// Throws std::bad_alloc when the copy cannot be allocated.
void Unified2Res(const CString& unified, char16_t*& res);

// True unless `s` starts with "#" (a text without "@" counts as a name).
bool IsStrUnified(const char16_t* s);
// `s` without one leading "@"; other texts are returned whole.
CString StrFromUnified(const char16_t* s);
// The number after the first character, whatever that is; 0 for an empty text.
unsigned long NumFromUnified(const char16_t* s);
// If `s` starts with "#", sets `id` to the number after it and returns true;
// otherwise returns false and leaves `id` alone.
bool IdFromString(const char16_t* s, unsigned long& id);
// A numeric identifier as its bare number, a named one as its name.
CString ResIdToGui(const CString& unified);

// The value of `c` as a digit in `base` (up to 16, letters in either case),
// or -1 when it is none.
inline int DigitValue(char16_t c, int base) {
  int digit = -1;
  if (c >= u'0' && c <= u'9') {
    digit = c - u'0';
  } else if (c >= u'a' && c <= u'f') {
    digit = c - u'a' + 10;
  } else if (c >= u'A' && c <= u'F') {
    digit = c - u'A' + 10;
  }
  return digit < base ? digit : -1;
}

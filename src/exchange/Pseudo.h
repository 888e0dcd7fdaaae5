// Pseudo-translation: every unit's source text with its letters replaced by
// accented look-alikes and lengthened inside "[" and "]", so that a build in
// that language shows untranslated, cut or garbled texts before translators
// start. Codes, whitespace and terminal punctuation are kept exactly, so the
// checks find nothing in the result.
#pragma once

#include <cstddef>
#include <string_view>

#include "exchange/Units.h"
#include "platform/CString.h"

constexpr int kDefaultPseudoExpand = 30;
constexpr int kMaxPseudoExpand = 1000;

// The pseudo-translation of one text, at least `expandPercent` percent
// longer (in code points) than `source`. A text without letters outside its
// codes ("%d", "...") is returned unchanged: it needs no translation.
// REQUIRES: 0 <= expandPercent <= kMaxPseudoExpand.
CString PseudoTranslate(std::u16string_view source, int expandPercent);

// Writes the pseudo-translation of every unit's source into `langs.target`,
// creating translations where the item has none. Returns the number of
// units written.
size_t PseudoTranslateProject(CResItem& root, const CUnitLangs& langs, int expandPercent);

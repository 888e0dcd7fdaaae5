// Quality checks of translations: what will break in the localized program
// (placeholders, escapes, control characters, accelerators) or look broken
// (whitespace and punctuation at the ends, empty or untouched texts).
// Units without a translated text are not checked, except for "empty".
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "exchange/Units.h"
#include "platform/CString.h"

// kind, name as printed
#define ITEMLIB_CHECK_KINDS(KIND)                     \
  KIND(kEscape, "escape")                             \
  KIND(kPrintf, "printf")                             \
  KIND(kDotNet, "dotnet")                             \
  KIND(kAccelerator, "accelerator")                   \
  KIND(kAcceleratorConflict, "accelerator-conflict")  \
  KIND(kWhitespace, "whitespace")                     \
  KIND(kPunctuation, "punctuation")                   \
  KIND(kEmpty, "empty")                               \
  KIND(kIdentical, "identical")

enum class CheckKind {
#define ITEMLIB_CHECK_ENUM(kind, name) kind,
  ITEMLIB_CHECK_KINDS(ITEMLIB_CHECK_ENUM)
#undef ITEMLIB_CHECK_ENUM
};

const char* CheckKindName(CheckKind kind);

struct CTextFinding {
  CheckKind kind;
  CString text;  // what differs, for a person: "source has %d, translation %s"
};

// The checks of one text pair that need no other unit. `target` is the
// translated text; `hasTranslation` tells whether the target language has a
// translation with a text property at all (an empty one is a finding, a
// missing one is simply untranslated). Appends to `out`.
void CheckTexts(std::u16string_view source, std::u16string_view target, bool hasTranslation,
                std::vector<CTextFinding>& out);

struct CFinding {
  std::u16string_view id;  // the unit's id; valid during the callback only
  int lang = 0;            // the target language
  CheckKind kind = CheckKind::kEscape;
  const CString* text = nullptr;
};

// Returns false to stop.
using FindingVisitor = std::function<bool(const CFinding&)>;

// Checks the translations of every unit into `langs.target`, in walk order,
// and two siblings with the same accelerator key in the target where their
// source texts do not already share one. Returns the number of findings.
size_t CheckProject(CResItem& root, const CUnitLangs& langs, const FindingVisitor& visit);

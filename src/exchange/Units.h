// Translation units: the texts of a project as translators' tools see them,
// one unit per item with a text in the source language, each under an id
// that names its place in the tree. Exchange formats, statistics and checks
// all read the project through this walk.
//
// How to use it:
//   CUnitLangs langs{source, target};        // source: usually CPrjConfig::GetNative
//   ForEachUnit(root, langs, [&](const CUnit& u) { ...; return true; });
//   std::vector<CUnitRecord> all = CollectUnits(root, langs);   // owned copies
//
// - A unit is an item whose translation in the source language holds a
//   non-empty text (property id 2, a string value). The root may be one.
// - Order: depth first, children in their order, an item before its
//   children. The same project always gives the same units in the same order.
// - Id: one segment per item below the root, joined by "/"; a segment is the
//   item type as "#<type>" (unsigned decimal), ":", and the resource id in its
//   unified text form ("#101", "@app.exe"). Example: "#2:@app.exe/#5:#101/#6:#1".
//   "%", "/", "~", control characters (below U+0020 and U+007F), unpaired
//   surrogates and U+FFFE/U+FFFF of a resource id are written as "%" and four
//   upper-case hex digits, so an id is plain, printable and splits back into
//   its segments. Siblings with equal segments are told apart by "~2", "~3"...
//   on the second, third... in child order, so ids are unique in a project.
//   The root's own id is ".". Ids start with "#" otherwise.
// - Views in a CUnit (id, source, target) are valid only during the callback;
//   the walk copies nothing. CollectUnits copies when a caller needs to keep.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "items/ResItem.h"
#include "platform/CString.h"

// The languages of a walk: units carry the source text and the text of the
// target language (either may have a brand in bits 16-23).
struct CUnitLangs {
  int source = 0;
  int target = 0;
};

struct CUnit {
  std::u16string_view id;
  std::u16string_view source;  // never empty
  std::u16string_view target;  // empty when there is no translated text
  bool HasTarget() const { return !target.empty(); }
  CString note;                // the item's comment
  CResItem* item = nullptr;    // the item the texts belong to
  CTransItem* targetTrans = nullptr;  // the target language's translation, or null
  // The project file the unit belongs to: the root's child on its path (the
  // item itself when it is such a child), or the root for the root's unit.
  const CResItem* file = nullptr;
  std::u16string_view fileId;  // that file's id ("." for the root)
  const CResItem* parent = nullptr;  // the item's parent: siblings share it
};

// Returns false to stop the walk.
using UnitVisitor = std::function<bool(const CUnit&)>;

// Calls `visit` for every unit of the tree below and including `root`.
// Returns false when the visitor stopped the walk. No item is changed; the
// pointers are non-const so that callers may change what they are shown.
bool ForEachUnit(CResItem& root, const CUnitLangs& langs, const UnitVisitor& visit);

// A unit with its own copies of the texts, for callers that keep units.
struct CUnitRecord {
  CString id;
  CString source;
  CString target;
  CString note;
  CResItem* item = nullptr;
  const CResItem* file = nullptr;
  CString fileId;
  const CResItem* parent = nullptr;
};

std::vector<CUnitRecord> CollectUnits(CResItem& root, const CUnitLangs& langs);

// The segment of one item in a unit id, without the sibling suffix.
CString UnitSegment(const CResItem& item);

// Languages as users and exchange documents write them: a culture name of
// the language map ("de-DE", case and "_" for "-" do not matter), or a number
// in hex ("0x0407", may carry a brand: "0x00030407") or decimal ("1031").
// False for anything else, for 0 and for values above 24 bits.
bool ParseLangText(const CString& text, int& lang);

// The culture name of `lang` in the language map, brand aside. When the map
// does not know the language: "x-" and its four hex digits (a private-use
// tag). `exact` tells whether ParseLangText of the name gives back the raw
// language (false for the Norwegian "no" of 0x0414, which reads as 0x0014).
CString LangCultureName(int lang, bool* exact = nullptr);

// The project's language selection, sets of language ids and include/exclude
// name filters, with the property classes that store them on items. They are
// kept together because the language settings are built from all three.
#pragma once

#include <set>
#include <utility>

#include "platform/CString.h"
#include "props/Prop.h"

// An ordered set of language ids (CLangId values), ascending.
class CLangSet : public std::set<int> {
 public:
  using std::set<int>::set;
  // A container of 4-byte ids.
  bool Do(Serial::ISerialStream& s);
};

// The languages a project is translated from and into. `selected` never holds
// the native language; target and secondary are either 7777 (none) or a
// language accepted by the rules of the setters. Membership tests look up the
// raw 16-bit language, so a language with a brand counts as its plain id.
class CPrjLangs {
 public:
  CPrjLangs() : CPrjLangs(7777) {}
  // Target and secondary 7777, nothing selected.
  explicit CPrjLangs(int native);

  int getNative() const { return native_; }
  int getTarget() const { return target_; }
  int getSecondary() const { return secondary_; }
  const CLangSet& getSelectedLangs() const { return selected_; }

  // Accepted only for a selected language, or for the native language with
  // another brand; anything else is ignored.
  void setTarget(int lang);
  // 7777 clears the secondary language; other values follow setTarget's rule.
  void setSecondary(int lang);
  // Ignored when `langs` holds the native language. Otherwise replaces the
  // selection and moves target and secondary back into it (the target keeps
  // its brand; an empty selection makes the target the native language).
  void setSelectedLangs(const CLangSet& langs);
  // Inserts as given, without any check.
  void addSelectedLang(int lang) { selected_.insert(lang); }

  // Nodes "Selected", "Target", "Native", "Secondary". A stored secondary of
  // 77777777 (the old undefined language) reads as 7777.
  bool Do(Serial::ISerialStream& s);

  bool operator==(const CPrjLangs& other) const;
  bool operator!=(const CPrjLangs& other) const { return !(*this == other); }
  // Selections are not ordered.
  bool operator<(const CPrjLangs&) const { return false; }

 private:
  // True when the raw language of `lang` is selected, or `lang` is the native
  // language under another brand.
  bool IsAcceptable(int lang) const;
  bool IsSelected(int lang) const;

  CLangSet selected_;
  int native_;
  int target_;
  int secondary_;
};

// A list of names that are allowed: `includes` names them, or holds "*" to
// allow every name but those in `excludes`. Names are compared ignoring case.
struct CFilter {
  // Orders by the lower-cased texts, so names that differ only in case are
  // one element.
  struct CaseInsensitiveCmp {
    bool operator()(const CString& a, const CString& b) const;
  };
  using NameSet = std::set<CString, CaseInsensitiveCmp>;

  // Allows nothing.
  CFilter() = default;
  CFilter(NameSet includeNames, NameSet excludeNames)
      : includes(std::move(includeNames)), excludes(std::move(excludeNames)) {}

  bool IsAllowedName(const CString& name) const;

  // `includes` then `excludes`, each a container of strings, no node names.
  bool Do(Serial::ISerialStream& s);

  // Element texts compare case-sensitively here, unlike the lookups: two
  // filters that allow the same names may still differ.
  bool operator==(const CFilter& other) const;
  bool operator!=(const CFilter& other) const { return !(*this == other); }
  // By `includes`, then by `excludes`, lexicographically and case-sensitively.
  bool operator<(const CFilter& other) const;

  NameSet includes;
  NameSet excludes;
};

ITEMLIB_VALUE_PROP(CPrjLangsProp, CPrjLangs);

ITEMLIB_VALUE_PROP(CLangSetProp, CLangSet);

ITEMLIB_VALUE_PROP(CFilterProp, CFilter);

// The rules that keep a project's language selection consistent, the
// case-insensitive name filter, and the serial forms of both and of the
// language set.
#include "lang/PrjLangs.h"

#include <algorithm>

#include "items/TransItem.h"

namespace {

const int kNoLang = CLangId::Undefined;

// The low 16 bits as they stand: 77777777 is not turned into 7777 first, so
// the old undefined value is not the same language as 7777 here.
short RawLang(int lang) { return static_cast<short>(static_cast<unsigned short>(lang)); }

// A set of names through the container strategy, each name a CString.
bool DoNames(Serial::ISerialStream& s, CFilter::NameSet& names) {
  Serial::DefaultSerialStrategy<CString> element;
  return Serial::STLContainerSerialStrategy<CFilter::NameSet, CString>(element).Do(s, names);
}

// Element by element with CString's own (case-sensitive) comparison, not the
// set's case-insensitive order.
bool SameTexts(const CFilter::NameSet& a, const CFilter::NameSet& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool TextsLess(const CFilter::NameSet& a, const CFilter::NameSet& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace

bool CLangSet::Do(Serial::ISerialStream& s) {
  Serial::DefaultSerialStrategy<int> element;
  return Serial::STLContainerSerialStrategy<CLangSet, int>(element).Do(s, *this);
}

CPrjLangs::CPrjLangs(int native) : native_(native), target_(kNoLang), secondary_(kNoLang) {}

bool CPrjLangs::IsSelected(int lang) const { return selected_.count(RawLang(lang)) != 0; }

bool CPrjLangs::IsAcceptable(int lang) const {
  return IsSelected(lang) || (RawLang(lang) == RawLang(native_) && lang != native_);
}

void CPrjLangs::setTarget(int lang) {
  if (IsAcceptable(lang)) target_ = lang;
}

void CPrjLangs::setSecondary(int lang) {
  if (lang == kNoLang || IsAcceptable(lang)) secondary_ = lang;
}

void CPrjLangs::setSelectedLangs(const CLangSet& langs) {
  // The native language is what the project is translated from, never into.
  if (langs.count(RawLang(native_)) != 0) return;
  selected_ = langs;
  const unsigned char targetBrand = CLangId(target_).GetBrand();
  if (!langs.empty()) {
    if (!IsSelected(target_)) target_ = CLangId(RawLang(*langs.begin()), targetBrand).GetLang();
    if (!IsSelected(secondary_)) secondary_ = kNoLang;
  } else {
    secondary_ = kNoLang;
    if (RawLang(target_) != RawLang(native_)) {
      target_ = CLangId(RawLang(native_), targetBrand).GetLang();
    }
  }
}

bool CPrjLangs::Do(Serial::ISerialStream& s) {
  if (!Serial::InNode(s, u"Selected", [&] { return selected_.Do(s); })) return false;
  const struct {
    const char16_t* name;
    int* field;
  } fields[] = {{u"Target", &target_}, {u"Native", &native_}, {u"Secondary", &secondary_}};
  for (const auto& field : fields) {
    if (!Serial::InNode(s, field.name, [&] { return Serial::Do(s, *field.field); })) return false;
  }
  // Older projects stored "no secondary language" as 77777777.
  if (s.IsReading() && secondary_ == CLangId::OldUndefined) secondary_ = kNoLang;
  return true;
}

bool CPrjLangs::operator==(const CPrjLangs& other) const {
  return selected_ == other.selected_ && target_ == other.target_ && native_ == other.native_ &&
         secondary_ == other.secondary_;
}

bool CFilter::CaseInsensitiveCmp::operator()(const CString& a, const CString& b) const {
  return CString(a).MakeLower() < CString(b).MakeLower();
}

bool CFilter::IsAllowedName(const CString& name) const {
  if (includes.count(u"*") != 0) return excludes.count(name) == 0;
  return includes.count(name) != 0;
}

bool CFilter::Do(Serial::ISerialStream& s) {
  if (!DoNames(s, includes)) return false;
  return DoNames(s, excludes);
}

bool CFilter::operator==(const CFilter& other) const {
  return SameTexts(includes, other.includes) && SameTexts(excludes, other.excludes);
}

bool CFilter::operator<(const CFilter& other) const {
  if (SameTexts(includes, other.includes)) return TextsLess(excludes, other.excludes);
  return TextsLess(includes, other.includes);
}

ITEMLIB_REGISTER_PROP(CPrjLangsProp, u"PrjLangsType");
ITEMLIB_REGISTER_PROP(CLangSetProp, u"LangSetType");
ITEMLIB_REGISTER_PROP(CFilterProp, u"Filter");

// The language and brand operations of the project settings; the settings'
// own families are generated in the header.
#include "config/PrjConfig.h"

#include "lang/LangMap.h"

namespace {

// Copies the effective selection, lets `edit` apply a CPrjLangs rule, and
// stores the result, which CSetting::Set skips when nothing changed.
template <typename Edit>
void EditPrjLangs(CResItem& item, Edit edit) {
  CPrjLangs langs = CPrjConfig::GetPrjLangs(item);
  edit(langs);
  CPrjConfig::SetPrjLangs(item, langs);
}

}  // namespace

const CLangSet& CPrjConfig::GetSelectedLangs(const CResItem& item) {
  return GetPrjLangs(item).getSelectedLangs();
}

int CPrjConfig::GetNative(const CResItem& item) { return GetPrjLangs(item).getNative(); }

int CPrjConfig::GetTarget(const CResItem& item) { return GetPrjLangs(item).getTarget(); }

int CPrjConfig::GetSecondary(const CResItem& item) { return GetPrjLangs(item).getSecondary(); }

void CPrjConfig::SetSelectedLangs(CResItem& item, const CLangSet& langs) {
  EditPrjLangs(item, [&langs](CPrjLangs& edited) { edited.setSelectedLangs(langs); });
}

void CPrjConfig::AddSelectedLang(CResItem& item, int lang) {
  EditPrjLangs(item, [lang](CPrjLangs& edited) { edited.addSelectedLang(lang); });
}

void CPrjConfig::SetTarget(CResItem& item, int lang) {
  EditPrjLangs(item, [lang](CPrjLangs& edited) { edited.setTarget(lang); });
}

void CPrjConfig::SetSecondary(CResItem& item, int lang) {
  EditPrjLangs(item, [lang](CPrjLangs& edited) { edited.setSecondary(lang); });
}

void CPrjConfig::ResetSecondary(CResItem& item) { SetSecondary(item, CLangId::Undefined); }

CIntStrMap CPrjConfig::GetDefaultBrandMap() { return CIntStrMap{{0, u"SourceBrand"}}; }

CString CPrjConfig::GetBrandedLangName(const CResItem& item, int lang) {
  const CLangId id(lang);
  const CString name = CLangMap::Instance().GetLongLangName(id.GetRawLng());
  const CIntStrMap& brands = GetBrandMap(item);
  if (brands.size() <= 1) return name;
  CString text;
  const auto brand = brands.find(id.GetBrand());
  if (brand != brands.end()) {
    text.Format(u"%s: %s", brand->second.GetString(), name.GetString());
  } else {
    text.Format(u"[%d] %s", static_cast<int>(id.GetBrand()), name.GetString());
  }
  return text;
}

CLangSet CPrjConfig::GetAllOutputLangs(const CResItem& item, unsigned char brand) {
  const CIntStrMap& brands = GetBrandMap(item);
  const CLangId native(GetNative(item));
  CLangSet langs = GetSelectedLangs(item);
  if (brands.size() > 1) langs.insert(native.GetLang());
  CLangSet output;
  for (const int lang : langs) {
    for (const auto& entry : brands) {
      const auto brandNumber = static_cast<unsigned char>(entry.first & 0xFF);
      if (brand != CLangId::UnrealBrand && brand != brandNumber) continue;
      const CLangId id(static_cast<short>(lang & 0xFFFF), brandNumber);
      if (id != native) output.insert(id.GetLang());
    }
  }
  return output;
}

int CPrjConfig::GetBrandNative(int lang, int native) {
  const CLangId language(lang), nativeLanguage(native);
  if (language.GetRawLng() == nativeLanguage.GetRawLng()) return nativeLanguage.GetLang();
  return CLangId(nativeLanguage.GetRawLng(), language.GetBrand()).GetLang();
}

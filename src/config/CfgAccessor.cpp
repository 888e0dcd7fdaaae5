// The untyped half of the accessor machinery: the setting operator, the
// listing of changed settings and the display texts of the value types.
#include "config/CfgAccessor.h"

namespace CfgAccess {

CSettingOperator::CSettingOperator(CResItem& item, CProp* defaultValue)
    : default_(defaultValue), item_(&item) {}

CSettingOperator::~CSettingOperator() = default;

void CSettingOperator::SetValue(CProp* value) {
  std::unique_ptr<CProp> owned(value);
  if (!owned || owned->IsEqual(*GetValue(true))) return;
  CCfgHolder::SetPropW(*item_, GetName(), owned.release());
}

const CProp* CSettingOperator::GetValue(bool inherited) const {
  const CProp* found = CCfgHolder::GetPropW(*item_, GetName(), inherited);
  return found ? found : default_.get();
}

void CSettingOperator::Reset() { CCfgHolder::DeleteProp(*item_, GetName()); }

bool CSettingOperator::IsDefault() const {
  return CCfgHolder::GetPropW(*item_, GetName(), true) == nullptr;
}

std::vector<std::pair<CString, CString>> ListChanged(const std::vector<CSettingInfo>& table,
                                                     const CResItem& item) {
  std::vector<std::pair<CString, CString>> changed;
  for (const CSettingInfo& setting : table) {
    if (!setting.equalsDefault(item))
      changed.emplace_back(setting.name().GetStr(), setting.text(item));
  }
  return changed;
}

namespace {

CString Number(int value) {
  CString text;
  text.Format(u"%d", value);
  return text;
}

// "{a, b}" from the texts of the elements, in their order.
template <typename Container>
CString Braced(const Container& elements) {
  CString text(u"{");
  const char16_t* separator = u"";
  for (const auto& element : elements) {
    text += separator;
    text += SettingText(element);
    separator = u", ";
  }
  text += u"}";
  return text;
}

}  // namespace

template <>
CString SettingText(const bool& value) {
  return value ? u"true" : u"false";
}

template <>
CString SettingText(const int& value) {
  return Number(value);
}

template <>
CString SettingText(const CString& value) {
  return value;
}

// The containers print their elements in their own order.
template <>
CString SettingText(const std::vector<int>& value) {
  return Braced(value);
}
template <>
CString SettingText(const std::set<CString>& value) {
  return Braced(value);
}
template <>
CString SettingText(const CLangSet& value) {
  return Braced(value);
}

template <>
CString SettingText(const CIntStrMap& value) {
  CString text(u"{");
  const char16_t* separator = u"";
  for (const auto& entry : value) {
    text.AppendFormat(u"%s%d: %s", separator, entry.first, entry.second.GetString());
    separator = u", ";
  }
  text += u"}";
  return text;
}

template <>
CString SettingText(const CPrjLangs& value) {
  CString text;
  text.Format(u"native %d, target %d, secondary %d, selected ", value.getNative(),
              value.getTarget(), value.getSecondary());
  text += SettingText(value.getSelectedLangs());
  return text;
}

template <>
CString SettingText(const CFilter& value) {
  return u"includes " + Braced(value.includes) + u", excludes " + Braced(value.excludes);
}

}  // namespace CfgAccess

// Column and value resolution per language, serial forms and equality of the
// database localization settings. Several nodes are optional on reading
// because projects written before they existed must still load.
#include "config/DBCfg.h"

#include <algorithm>

#include "lang/LangMap.h"
#include "services/Macros.h"

namespace {

// An explicit entry for `lang`, else `pattern` expanded with its macros.
CString ByLang(const CIntStrMap& explicitByLang, const CString& pattern, int lang) {
  const auto found = explicitByLang.find(lang);
  if (found != explicitByLang.end()) return found->second;
  return MacrosUtil::ApplyMacrosMap(pattern, CLangMap::Instance().GetLangMacros(lang));
}

// `value` inside the node `name`; false when the node is missing or fails.
template <typename T>
bool DoNode(Serial::ISerialStream& s, const char16_t* name, T& value) {
  return Serial::InNode(s, name,
                        [&s, &value] { return Serial::DefaultSerialStrategy<T>().Do(s, value); });
}

}  // namespace

CString CDBSROFFieldCfg::GetFieldByLang(int lang) const {
  return ByLang(NameByLang, TransNamePattern, lang);
}

bool CDBSROFFieldCfg::Do(Serial::ISerialStream& s) {
  return DoNode(s, u"NameByLang", NameByLang) && DoNode(s, u"TransNamePattern", TransNamePattern);
}

bool CDBSROFFieldCfg::operator==(const CDBSROFFieldCfg& other) const {
  return NameByLang == other.NameByLang && TransNamePattern == other.TransNamePattern;
}

CDBSROFFieldsCfg::const_iterator CDBSROFFieldsCfg::Find(int lang, const CString& name) const {
  return std::find_if(begin(), end(), [lang, &name](const CDBSROFFieldCfg& field) {
    return field.GetFieldByLang(lang) == name;
  });
}

bool CSROFSchemeCfg::Do(Serial::ISerialStream& s) { return DoNode(s, u"TransFields", TransFields); }

CString CLangIdSchemeCfg::GetValueByLang(int lang) const {
  return ByLang(LangIdValueMap, LangIdFieldValueTemplate, lang);
}

bool CLangIdSchemeCfg::Do(Serial::ISerialStream& s) {
  if (!DoNode(s, u"LangIdField", LangIdField)) return false;
  DoNode(s, u"LangIdFieldValueTemplate", LangIdFieldValueTemplate);
  DoNode(s, u"LangIdValueMap", LangIdValueMap);
  DoNode(s, u"TransFields", TransFields);
  return true;
}

bool CLangIdSchemeCfg::operator==(const CLangIdSchemeCfg& other) const {
  return LangIdField == other.LangIdField &&
         LangIdFieldValueTemplate == other.LangIdFieldValueTemplate &&
         LangIdValueMap == other.LangIdValueMap && TransFields == other.TransFields;
}

std::vector<CString> CDBTableCfg::GetLocFields(int lang) const {
  std::vector<CString> fields;
  switch (LocalizationSchemeId) {
    case SROFScheme:
      for (const CDBSROFFieldCfg& field : SROFCfg.TransFields)
        fields.push_back(field.GetFieldByLang(lang));
      break;
    case LangIdScheme:
      fields = LangIdSchemeCfg.TransFields;
      break;
  }
  return fields;
}

bool CDBTableCfg::Do(Serial::ISerialStream& s) {
  bool ok = DoNode(s, u"TableName", TableName);
  ok = Serial::InNode(s, u"LocalizationSchemeId",
                      [&s, this] {
                        return Serial::EnumSerialStrategy<enum LocalizationSchemeId, int>().Do(
                            s, LocalizationSchemeId);
                      }) &&
       ok;
  ok = DoNode(s, u"KeyFields", KeyFields) && ok;
  // Chosen after the id above, so a reader follows the id it has just read.
  switch (LocalizationSchemeId) {
    case SROFScheme:
      ok = DoNode(s, u"SROFCfg", SROFCfg) && ok;
      break;
    case LangIdScheme:
      ok = DoNode(s, u"LangIdSchemeCfg", LangIdSchemeCfg) && ok;
      break;
  }
  DoNode(s, u"WhereCond", WhereCond);
  return ok;
}

bool CDBTableCfg::operator==(const CDBTableCfg& other) const {
  if (TableName != other.TableName || KeyFields != other.KeyFields ||
      LocalizationSchemeId != other.LocalizationSchemeId || WhereCond != other.WhereCond) {
    return false;
  }
  switch (LocalizationSchemeId) {
    case SROFScheme:
      return SROFCfg == other.SROFCfg;
    case LangIdScheme:
      return LangIdSchemeCfg == other.LangIdSchemeCfg;
  }
  return true;
}

CDBTablesCfg::const_iterator CDBTablesCfg::GetTableCfg(const CString& name) const {
  return std::find_if(begin(), end(),
                      [&name](const CDBTableCfg& table) { return table.TableName == name; });
}

ITEMLIB_REGISTER_PROP(CDBTablesCfgProp, u"DBTablesCfg");

namespace CfgAccess {

// Table names in list order: enough for a listing of changed settings.
template <>
CString SettingText(const CDBTablesCfg& value) {
  return value.BracedText([](const CDBTableCfg& table) { return table.TableName; });
}

}  // namespace CfgAccess

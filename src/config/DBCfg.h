// Database localization settings: the connection and, per table, the key
// columns and where the translated texts live (a column per language, or a
// row per language told apart by a language-id column).
#pragma once

#include <vector>

#include "config/CfgAccessor.h"
#include "config/SerialVector.h"
#include "lang/IntStrMap.h"

// One translatable field of the separate-field scheme: its column per language.
struct CDBSROFFieldCfg {
  // The column of `lang`: its NameByLang entry (brand bits included in the
  // key), else TransNamePattern with the language macros of `lang` expanded.
  CString GetFieldByLang(int lang) const;
  // "NameByLang", then "TransNamePattern"; false at the first missing or
  // failing node.
  bool Do(Serial::ISerialStream& s);
  bool operator==(const CDBSROFFieldCfg& other) const;

  CIntStrMap NameByLang;
  CString TransNamePattern{u"$(CultureName)"};
};

class CDBSROFFieldsCfg : public CSerialVector<CDBSROFFieldCfg> {
 public:
  using CSerialVector::CSerialVector;
  // The first field whose column for `lang` is `name` (case-sensitive).
  const_iterator Find(int lang, const CString& name) const;
};

// The separate-field scheme: every language has its own column per field.
struct CSROFSchemeCfg {
  // Node "TransFields"; false when it is missing or fails.
  bool Do(Serial::ISerialStream& s);
  bool operator==(const CSROFSchemeCfg& other) const { return TransFields == other.TransFields; }

  CDBSROFFieldsCfg TransFields;
};

// The language-id scheme: a row per language, marked in LangIdField.
struct CLangIdSchemeCfg {
  // The value LangIdField holds in the rows of `lang`: its LangIdValueMap
  // entry, else LangIdFieldValueTemplate with the language macros expanded.
  CString GetValueByLang(int lang) const;
  // Only "LangIdField" is required; the three later nodes may be missing
  // (older projects), and then keep their values.
  bool Do(Serial::ISerialStream& s);
  bool operator==(const CLangIdSchemeCfg& other) const;

  CString LangIdField;
  CString LangIdFieldValueTemplate{u"$(LangId)"};
  CIntStrMap LangIdValueMap;
  std::vector<CString> TransFields;
};

// One table to localize.
struct CDBTableCfg {
  // Stored as a 4-byte int; values other than these select no scheme and
  // are kept for the database parser, which decides what they mean. The
  // field below carries the type's name, so outside this class the type is
  // spelled `enum CDBTableCfg::LocalizationSchemeId`.
  enum LocalizationSchemeId : int { SROFScheme = 0, LangIdScheme = 1 };

  std::vector<CString> GetKeyFields() const { return KeyFields; }
  // The columns holding the texts of `lang`; empty for an unknown scheme.
  std::vector<CString> GetLocFields(int lang) const;
  // Every node is attempted; only the scheme node the scheme id selects is
  // written or read. A missing "WhereCond" is tolerated (older projects).
  bool Do(Serial::ISerialStream& s);
  // The description of the unselected scheme is not compared.
  bool operator==(const CDBTableCfg& other) const;

  CString TableName;
  std::vector<CString> KeyFields;
  enum LocalizationSchemeId LocalizationSchemeId = SROFScheme;
  CSROFSchemeCfg SROFCfg;
  CLangIdSchemeCfg LangIdSchemeCfg;
  CString WhereCond;
};

class CDBTablesCfg : public CSerialVector<CDBTableCfg> {
 public:
  using CSerialVector::CSerialVector;
  // The first table named `name` (case-sensitive), else end().
  const_iterator GetTableCfg(const CString& name) const;
  // Lists have no order; the property class only needs the operator.
  bool operator<(const CDBTablesCfg&) const { return false; }
};

ITEMLIB_VALUE_PROP(CDBTablesCfgProp, CDBTablesCfg);
ITEMLIB_SETTING_PROP_CLASS(CDBTablesCfg, CDBTablesCfgProp)

// name, value type, key, built-in default.
#define ITEMLIB_DBCFG_SETTINGS(SETTING)                                      \
  SETTING(ODBCConnectionString, CString, u"ODBCConnectionString", CString()) \
  SETTING(SourceName, CString, u"SourceName", CString())                     \
  SETTING(Tables, CDBTablesCfg, u"Tables", CDBTablesCfg())                   \
  SETTING(SQLMonitor, bool, u"SQLMonitor", false)

// The database connection and the tables to localize.
class CDBCfg {
 public:
  ITEMLIB_DBCFG_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_DBCFG_SETTINGS)
};

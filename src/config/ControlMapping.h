// Control type mappings: which control type the form and .NET resource
// parsers treat a source control class as, or that it is hidden; stored as
// one list-valued setting per parser kind.
#pragma once

#include "config/CfgAccessor.h"
#include "config/SerialVector.h"

struct CControlTypeMapping {
  // Empty mask, hidden, no type.
  CControlTypeMapping() = default;
  // A shown mapping.
  CControlTypeMapping(const CString& srcTypeMask, const CString& controlType)
      : SrcTypeMask(srcTypeMask), Show(true), ControlType(controlType) {}

  bool operator==(const CControlTypeMapping& other) const {
    return SrcTypeMask == other.SrcTypeMask && Show == other.Show &&
           ControlType == other.ControlType;
  }
  // By mask alone, as a parser looks mappings up.
  bool operator<(const CControlTypeMapping& other) const { return SrcTypeMask < other.SrcTypeMask; }
  // "SrcTypeMask" is required; "Show" and "ControlType" may be missing and
  // then keep their values.
  bool Do(Serial::ISerialStream& s);

  CString SrcTypeMask;
  bool Show = false;
  CString ControlType;  // empty for hidden entries
};

class CControlMappingList : public CSerialVector<CControlTypeMapping> {
 public:
  using CSerialVector::CSerialVector;
};

ITEMLIB_VALUE_PROP(CControlMappingProp, CControlMappingList);
ITEMLIB_SETTING_PROP_CLASS(CControlMappingList, CControlMappingProp)

// Turns a parser's built-in table into a list.
class CControlMappingStore {
 public:
  struct MAP_INFO {
    const char16_t* srcTypeMask;
    // "#hidden#" marks a hidden entry; null marks a row to skip.
    const char16_t* controlType;
  };

  // Appends the `count` rows of `table` to `list`, which is not cleared.
  static void FillFromStatic(CControlMappingList& list, const MAP_INFO* table, int count);
};

// The key of the form-file setting is "Dfm.", unlike the "DFM." of the other
// form settings: projects store it so.
#define ITEMLIB_DFM_CONTROLMAPPING_SETTINGS(SETTING) \
  SETTING(ControlMapping, CControlMappingList, u"Dfm.ControlMapping", CControlMappingList())
#define ITEMLIB_NETRES_CONTROLMAPPING_SETTINGS(SETTING) \
  SETTING(ControlMapping, CControlMappingList, u"NetRes.ControlMapping", CControlMappingList())

class CDfmControlMappingCfg {
 public:
  ITEMLIB_DFM_CONTROLMAPPING_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_DFM_CONTROLMAPPING_SETTINGS)
};

namespace Detail {
class CNetResControlMappingCfg {
 public:
  ITEMLIB_NETRES_CONTROLMAPPING_SETTINGS(ITEMLIB_SETTING)
  ITEMLIB_SETTINGS_TABLE(ITEMLIB_NETRES_CONTROLMAPPING_SETTINGS)
};
}  // namespace Detail

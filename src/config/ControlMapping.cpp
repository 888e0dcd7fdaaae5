// Serial form of a control type mapping, the conversion of a parser's static
// table, and the property class registration of the mapping lists.
#include "config/ControlMapping.h"

bool CControlTypeMapping::Do(Serial::ISerialStream& s) {
  if (!Serial::InNode(s, u"SrcTypeMask", [&] { return Serial::Do(s, SrcTypeMask); })) return false;
  Serial::InNode(s, u"Show", [&] { return Serial::Do(s, Show); });
  Serial::InNode(s, u"ControlType", [&] { return Serial::Do(s, ControlType); });
  return true;
}

void CControlMappingStore::FillFromStatic(CControlMappingList& list, const MAP_INFO* table,
                                          int count) {
  for (int i = 0; i < count; ++i) {
    const MAP_INFO& row = table[i];
    if (!row.controlType) continue;
    CControlTypeMapping mapping;
    mapping.SrcTypeMask = row.srcTypeMask;
    if (CString(row.controlType) != u"#hidden#") {
      mapping.Show = true;
      mapping.ControlType = row.controlType;
    }
    list.push_back(mapping);
  }
}

ITEMLIB_REGISTER_PROP(CControlMappingProp, u"ControlMappingType");

namespace CfgAccess {

// "{mask: type, mask: #hidden#}" in list order.
template <>
CString SettingText(const CControlMappingList& value) {
  return value.BracedText([](const CControlTypeMapping& mapping) {
    return mapping.SrcTypeMask + u": " + (mapping.Show ? mapping.ControlType : u"#hidden#");
  });
}

}  // namespace CfgAccess

// Text and serial forms of property names.
#include "props/PropName.h"

#include "serial/SerialStrategies.h"
#include "text/TextUtil.h"

CString CPropName::ToString() const {
  if (id_ != NoId) return ToUnifiedFmt(static_cast<unsigned long>(static_cast<unsigned int>(id_)));
  return u"@" + key_;
}

void CPropName::FromString(const CString& text) {
  id_ = NoId;
  key_.Empty();
  if (IsStrUnified(text)) {
    key_ = StrFromUnified(text);
  } else {
    id_ = static_cast<CPropId>(static_cast<int>(NumFromUnified(text)));
  }
}

bool CPropName::Do(Serial::ISerialStream& s) {
  Serial::StreamPath path(s);
  return DoOn(path);
}

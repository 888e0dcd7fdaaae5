// Parse parameters and their serial form. The item chain of a serialisable
// parameter set either belongs to a parent substituter (built in process) or
// to the object itself (read from a stream); Release() knows which.
#include "parsing/ParseParams.h"

#include "items/CfgHolder.h"
#include "parsing/ItemPointer.h"

bool CCommonParseFileParam::Do(Serial::ISerialStream& s) {
  using Serial::InNode;
  InNode(s, u"ParseLng", [&] { return Serial::Do(s, parseLang); });
  InNode(s, u"NtvLng", [&] { return Serial::Do(s, nativeLang); });
  InNode(s, u"iFormat", [&] { return Serial::Do(s, format); });
  InNode(s, u"filename", [&] { return Serial::Do(s, fileName); });
  InNode(s, u"UseRelative", [&] { return Serial::Do(s, useRelative); });
  InNode(s, u"ProjectFolder", [&] { return Serial::Do(s, projectFolder); });
  InNode(s, u"OriginalFile", [&] { return Serial::Do(s, originalFile); });
  InNode(s, u"IsScanForChanges", [&] { return Serial::Do(s, isScanForChanges); });
  return true;
}

CSerialParseFileParam::CSerialParseFileParam() = default;

CSerialParseFileParam::CSerialParseFileParam(CParseFileParam& param)
    : CCommonParseFileParam(param) {
  std::unique_ptr<CParentSubstituter> substituter(new CParentSubstituter(param.GetFileItem()));
  item_ = substituter->GetTopParent();
  substituter_ = substituter.release();
}

CSerialParseFileParam::CSerialParseFileParam(CSerialParseFileParam& other)
    : CCommonParseFileParam(other),
      item_(other.item_),
      substituter_(other.substituter_),
      fileItem_(other.fileItem_) {
  other.item_ = nullptr;
  other.substituter_ = nullptr;
  other.fileItem_ = nullptr;
}

CSerialParseFileParam& CSerialParseFileParam::operator=(CSerialParseFileParam& other) {
  if (this == &other) return *this;
  Release();
  CCommonParseFileParam::operator=(other);
  item_ = other.item_;
  substituter_ = other.substituter_;
  fileItem_ = other.fileItem_;
  other.item_ = nullptr;
  other.substituter_ = nullptr;
  other.fileItem_ = nullptr;
  return *this;
}

CSerialParseFileParam::~CSerialParseFileParam() { Release(); }

void CSerialParseFileParam::Release() {
  if (substituter_) {
    // The chain is the substituter's: deleting it puts the item back.
    delete substituter_;
    substituter_ = nullptr;
  } else {
    delete item_;
  }
  item_ = nullptr;
  fileItem_ = nullptr;
}

bool CSerialParseFileParam::Do(Serial::ISerialStream& s) {
  CCommonParseFileParam::Do(s);
  Serial::InNode(s, u"Item", [&] {
    if (s.IsReading()) Release();  // the chain read replaces any chain held
    CItemPointerStrategy pointer;
    std::unique_ptr<CResItem> read;
    CResItem* written = item_;
    if (!s.IsReading()) return pointer.Do(s, written);
    const bool ok = pointer.Do(s, read);
    item_ = read.release();
    return ok;
  });
  return true;
}

CResItem* CSerialParseFileParam::GetFileItem() const {
  if (fileItem_) return fileItem_;
  CResItem* current = item_;
  while (current && !current->GetResItems().empty()) current = current->GetResItems().front();
  fileItem_ = current;
  return fileItem_;
}

// Translations and language values.
#include "items/TransItem.h"

#include "items/ItemEvents.h"
#include "serial/BinaryPaths.h"

CLangId::CLangId(short lang, unsigned char brand) {
  const int high = static_cast<int>(brand) << BrandOffset;
  if (static_cast<unsigned short>(lang) == (OldUndefined & 0xFFFF)) {
    value = high | Undefined;
  } else {
    value = static_cast<int>(lang) | high;
  }
}

CTransItem::CTransItem(int lang)
    : CPropContainer(this), key_(NoKey), lang_(lang), status_(0), parent_(nullptr) {}

CTransItem::CTransItem(const CTransItem& other)
    : IPropContHandler(), CPropContainer(this), key_(NoKey), lang_(other.lang_), status_(0),
      parent_(nullptr) {
  *this = other;
}

CTransItem& CTransItem::operator=(const CTransItem& other) {
  if (this == &other) return *this;
  NotifyChange();
  NotifyChange();
  lang_ = other.lang_;
  NotifyChange();
  status_ = other.status_;
  Copy(other);
  return *this;
}

void CTransItem::NotifyChange() { CItemEventServer::Instance().OnTransItemChange(parent_, this); }

void CTransItem::SetKey(int key) {
  NotifyChange();
  key_ = key;
}

void CTransItem::SetLang(int lang) {
  NotifyChange();
  lang_ = lang;
}

void CTransItem::SetStatus(int status) {
  NotifyChange();
  status_ = status;
}

CString CTransItem::GetStr() const {
  const CProp* text = GetPropW(CPropName::TransText);
  return text ? text->GetStr() : CString();
}

void CTransItem::SetStr(const CString& text) { SetPropW(CPropName::TransText, new CStrProp(text)); }

const unsigned char* CTransItem::GetData() const {
  const CProp* data = GetPropW(CPropName::TransData);
  return data ? data->GetData().data() : nullptr;
}

unsigned int CTransItem::GetDataSize() const {
  const CProp* data = GetPropW(CPropName::TransData);
  return data ? static_cast<unsigned int>(data->GetData().size()) : 0;
}

void CTransItem::SetData(const unsigned char* data, unsigned int size) {
  SetPropW(CPropName::TransData, new CBinaryProp(data, static_cast<int>(size)));
}

void CTransItem::AddBinaryBlock(const unsigned char* data, unsigned int size) {
  // Only this library creates property id 1, always as a CBinaryProp.
  auto* existing = static_cast<CBinaryProp*>(const_cast<CProp*>(GetPropW(CPropName::TransData)));
  if (existing) {
    existing->AddBinaryBlock(data, size);
  } else {
    SetData(data, size);
  }
}

bool CTransItem::operator==(const CTransItem& other) const {
  return lang_ == other.lang_ && status_ == other.status_ &&
         static_cast<const CPropContainer&>(*this) == other;
}

bool CTransItem::Do(Serial::ISerialStream& s) {
  return Serial::WithPath(s, [this](auto& p) { return DoOn(p); });
}

template <typename Path>
bool CTransItem::DoOn(Path& outer) {
  auto p = outer.Local();
  if (p.Enter()) {
    CPropContainer::DoOn(p);
    p.Leave();
  }
  // Made once: every translation of a project passes here.
  static const Serial::NodeName kKey(u"Key"), kLng(u"Lng"), kSt(u"St");
  const struct {
    const Serial::NodeName& name;
    int* field;
  } fields[] = {{kKey, &key_}, {kLng, &lang_}, {kSt, &status_}};
  for (const auto& field : fields) {
    if (p.Enter(field.name)) {
      Serial::DoFixed(p, *field.field);
      p.Leave();
    }
  }
  return true;
}

template bool CTransItem::DoOn(Serial::StreamPath&);
template bool CTransItem::DoOn(Serial::Binary::BinaryOutPath&);
template bool CTransItem::DoOn(Serial::Binary::BinaryInPath&);

void CTransItem::OnBeforePropChange(const CPropContainer&, const CPropName&, const CProp*,
                                    const CProp*) {
  NotifyChange();
}

void CTransItem::OnAfterPropChange(const CPropContainer&, const CPropName&, const CProp*,
                                   const CProp*) {}

// A translation of one resource item into one language, and the 32-bit
// language value that keys an item's translations.
#pragma once

#include "props/PropContainer.h"

class CResItem;

// A language value: the Windows language id in bits 0-15, a brand in bits
// 16-23. 7777 is the undefined language; the old form 77777777 becomes 7777.
struct CLangId {
  static constexpr int BrandOffset = 16;
  static constexpr unsigned char UnrealBrand = 255;  // stands for all brands
  static constexpr int Undefined = 7777;
  static constexpr int OldUndefined = 77777777;

  CLangId(int v) : value(v == OldUndefined ? Undefined : v) {}  // NOLINT
  // A 16-bit 0xCB71 (the low half of 77777777) is the undefined language.
  CLangId(short lang, unsigned char brand);

  int GetLang() const { return value; }
  short GetRawLng() const { return static_cast<short>(value & 0xFFFF); }
  short GetPrimaryLng() const { return static_cast<short>(value & 0x3FF); }
  unsigned char GetBrand() const { return static_cast<unsigned char>((value >> BrandOffset) & 0xFF); }

  friend bool operator==(const CLangId& a, const CLangId& b) { return a.value == b.value; }
  friend bool operator!=(const CLangId& a, const CLangId& b) { return a.value != b.value; }

  int value;
};

// The translation's own properties are the container it is; the text is the
// string property id 2, the binary data the byte property id 1. Every change
// is announced (OnTransItemChange) before it is made.
class CTransItem : public IPropContHandler, public CPropContainer {
 public:
  static constexpr int NoKey = 9999999;

  explicit CTransItem(int lang);
  // Key and parent are not copied.
  CTransItem(const CTransItem& other);
  CTransItem& operator=(const CTransItem& other);
  ~CTransItem() override = default;

  int GetKey() const { return key_; }
  void SetKey(int key);
  int GetLang() const { return lang_; }
  // Does not re-key the parent's map: CResItem::ChangeTransLang does.
  void SetLang(int lang);
  int GetStatus() const { return status_; }
  void SetStatus(int status);
  CResItem* GetParent() const { return parent_; }
  void SetParent(CResItem* parent) { parent_ = parent; }

  // The text; empty when there is none.
  CString GetStr() const;
  void SetStr(const CString& text);
  // The binary data; null and 0 when there is none.
  const unsigned char* GetData() const;
  unsigned int GetDataSize() const;
  void SetData(const unsigned char* data, unsigned int size);
  // Appends to the data in place (no notification), or sets it when absent.
  void AddBinaryBlock(const unsigned char* data, unsigned int size);

  // Language, status and properties; key and parent do not count.
  bool operator==(const CTransItem& other) const;
  bool operator!=(const CTransItem& other) const { return !(*this == other); }

  // The properties in an anonymous node, then "Key", "Lng", "St".
  bool Do(Serial::ISerialStream& s);
  // The same on a path (serial/SerialPath.h), instantiated for StreamPath and
  // the binary writer's and reader's paths.
  template <typename Path>
  bool DoOn(Path& p);

  void OnBeforePropChange(const CPropContainer& container, const CPropName& name,
                          const CProp* oldValue, const CProp* newValue) override;
  void OnAfterPropChange(const CPropContainer& container, const CPropName& name,
                         const CProp* oldValue, const CProp* newValue) override;

 private:
  void NotifyChange();

  int key_;
  int lang_;
  int status_;
  CResItem* parent_;
};

// Translations read from a stream start as the undefined language.
template <>
inline CTransItem* Serial::DefaultMonoFactory<CTransItem>::Create() {
  return new CTransItem(CLangId::Undefined);
}

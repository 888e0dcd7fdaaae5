// Property names: a small numeric identifier for the few properties the item
// model defines itself, or a string key for everything the configuration
// stores. Map key in memory, text in the old database, two fields on a
// serial stream.
#pragma once

#include "platform/CString.h"
#include "serial/ISerialStream.h"
#include "serial/SerialPath.h"

class CPropName {
 public:
  // Only the values are fixed: they are stored in every project.
  enum CPropId : int {
    NoId = 0,        // named by the string key
    TransData = 1,   // the binary data of a translation
    TransText = 2,   // the text of a translation
  };

  CPropName() : id_(NoId) {}
  CPropName(CPropId id) : id_(id) {}  // NOLINT: names are built from ids freely
  CPropName(const CString& key) : id_(NoId), key_(key) {}  // NOLINT
  CPropName(const char16_t* key) : id_(NoId), key_(key) {}  // NOLINT

  int GetInt() const { return id_; }
  CString GetStr() const { return key_; }
  const CString& GetKey() const { return key_; }

  // "#<id>" for a numeric name, "@<key>" for a string-keyed one.
  CString ToString() const;
  // The inverse of ToString; a text without "@" is taken whole as the key.
  void FromString(const CString& text);

  // The identifier as a 2-byte field, then the key as a string field.
  bool Do(Serial::ISerialStream& s);
  // The same on a path (serial/SerialPath.h); always true.
  template <typename Path>
  bool DoOn(Path& p) {
    unsigned short id = static_cast<unsigned short>(id_);
    if (Serial::DoFixed(p, id) && p.IsReading()) id_ = static_cast<CPropId>(id);
    Serial::DoText(p, key_);
    return true;
  }

  friend bool operator==(const CPropName& a, const CPropName& b) {
    return a.id_ == b.id_ && a.key_ == b.key_;
  }
  friend bool operator!=(const CPropName& a, const CPropName& b) { return !(a == b); }
  // String-keyed names first, then by identifier; keys ordinally.
  friend bool operator<(const CPropName& a, const CPropName& b) {
    if (a.id_ != b.id_) return a.id_ < b.id_;
    return a.key_ < b.key_;
  }

 private:
  CPropId id_;
  CString key_;
};

// Names of the .NET assembly properties that the parsers store on items.
namespace NetResProps {
inline const CPropName AssemblyVersion{u"AssemblyVersion"};
inline const CPropName PublicKeyToken{u"PublicKeyToken"};
inline const CPropName PublicKey{u"PublicKey"};
inline const CPropName ProcessorArchitecture{u"ProcessorArchitecture"};
}  // namespace NetResProps

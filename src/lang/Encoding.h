// Output encodings: one encoding (a code page, a character-set name, or "the
// target language's ANSI code page") and a per-language table of them, with
// the resolution to code pages, ICU converter names and IANA names.
#pragma once

#include <map>

#include "platform/CString.h"
#include "props/Prop.h"

// One encoding. `codepage` is a Windows code page, or InvalidCodepage when
// `name` gives the character set, or -4 (with an empty name) to take the
// ANSI code page of whatever language is being written.
struct CEncoding {
  static constexpr int InvalidCodepage = -3;
  static constexpr int SelectAnsiCodepage = -4;
  // Exactly { -4, "" }; -4 with a name is not this value.
  static const CEncoding SelectAnsiByLang;

  CEncoding() : CEncoding(InvalidCodepage) {}
  explicit CEncoding(int cp) : codepage(cp) {}
  explicit CEncoding(const CString& charsetName) : codepage(InvalidCodepage), name(charsetName) {}

  // The language's ANSI code page for SelectAnsiByLang (0 for a language the
  // language map does not know); otherwise the stored code page.
  int getCodepage(int lang) const;
  CString getEncoding() const { return name; }
  // `name` for a named encoding; else the ICU converter name of the code page
  // for `lang`, "windows-<cp>" where no special name exists.
  CString GetIcuName(int lang) const;
  // The IANA name ICU gives for GetIcuName(lang); empty when ICU does not
  // know that converter name.
  CString GetIanaName(int lang) const;

  // `name`, then `codepage`, as plain fields without nodes. Always true.
  bool Do(Serial::ISerialStream& s);

  bool operator==(const CEncoding& other) const {
    return codepage == other.codepage && name == other.name;
  }
  bool operator!=(const CEncoding& other) const { return !(*this == other); }
  bool operator<(const CEncoding& other) const;

  int codepage;
  CString name;

 protected:
  bool IsValidCodepage() const { return codepage != InvalidCodepage; }
};

// The encoding of each language's output, with a default for the languages
// that have no entry. Keys are used as given: a branded id is its own key.
class CEncodingCfg {
 public:
  using EncodingMap = std::map<int, CEncoding>;

  // Every language takes its own ANSI code page.
  CEncodingCfg() : CEncodingCfg(CEncoding(CEncoding::SelectAnsiCodepage)) {}
  explicit CEncodingCfg(const CEncoding& defaultEncoding) : default_(defaultEncoding) {}

  // The entry of `lang`, else the default.
  CEncoding GetEncoding(int lang) const;

  const EncodingMap& GetEncodingsByLang() const { return byLang_; }
  EncodingMap& GetEncodingsByLang() { return byLang_; }
  const CEncoding& GetDefault() const { return default_; }
  void SetDefault(const CEncoding& encoding) { default_ = encoding; }

  // Node "EncodingByLang" with the map as pairs, then node "Default".
  bool Do(Serial::ISerialStream& s);

  bool operator==(const CEncodingCfg& other) const {
    return byLang_ == other.byLang_ && default_ == other.default_;
  }
  bool operator!=(const CEncodingCfg& other) const { return !(*this == other); }
  // Configurations are not ordered.
  bool operator<(const CEncodingCfg&) const { return false; }

 private:
  EncodingMap byLang_;
  CEncoding default_;
};

ITEMLIB_VALUE_PROP(CEncodingCfgProp, CEncodingCfg);

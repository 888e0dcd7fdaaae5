// Encodings: resolving an encoding to a code page through the language map,
// naming code pages the way ICU converters know them, and asking ICU for the
// IANA name. ICU is called here only, for the one standard-name lookup.
#include "lang/Encoding.h"

#include <unicode/ucnv.h>

#include <string>

#include "lang/LangMap.h"

namespace {

// Code pages whose ICU converter name is not "windows-<cp>".
const struct {
  int codepage;
  const char16_t* name;
} kIcuNames[] = {
    {28591, u"iso-8859-1"}, {28592, u"iso-8859-2"},   {28605, u"iso-8859-15"}, {932, u"shift_jis"},
    {936, u"gb2312"},       {949, u"ks_c_5601-1987"}, {950, u"big5"},          {20866, u"koi8-r"},
    {51949, u"euc-kr"},     {52936, u"hz-gb2312"},
};

const int kFallbackCodepage = 1252;

// Runs `body` inside the child node `name`; false when the node is missing or
// `body` fails. The node is left in both cases, as the strategies do.
}  // namespace

const CEncoding CEncoding::SelectAnsiByLang(CEncoding::SelectAnsiCodepage);

int CEncoding::getCodepage(int lang) const {
  if (*this == CEncoding(SelectAnsiCodepage)) return CLangMap::Instance().GetAnsiCodepage(lang);
  return codepage;
}

CString CEncoding::GetIcuName(int lang) const {
  if (!IsValidCodepage()) return name;
  const int cp = getCodepage(lang);
  for (const auto& entry : kIcuNames) {
    if (entry.codepage == cp) return entry.name;
  }
  // "%hu": the number as an unsigned 16-bit value, so -4 reads 65532.
  CString result;
  result.Format(u"windows-%hu", static_cast<unsigned short>(cp == 0 ? kFallbackCodepage : cp));
  return result;
}

CString CEncoding::GetIanaName(int lang) const {
  // The narrow form of the name is UTF-8, this system's ANSI code page.
  const std::string icuName = GetIcuName(lang).ToUtf8();
  UErrorCode status = U_ZERO_ERROR;
  const char* iana = ucnv_getStandardName(icuName.c_str(), "IANA", &status);
  if (iana == nullptr || U_FAILURE(status)) return CString();
  return CString::FromUtf8(iana);
}

bool CEncoding::Do(Serial::ISerialStream& s) {
  Serial::Do(s, name);
  Serial::Do(s, codepage);
  return true;
}

bool CEncoding::operator<(const CEncoding& other) const {
  if (codepage != other.codepage) return codepage < other.codepage;
  return name < other.name;
}

CEncoding CEncodingCfg::GetEncoding(int lang) const {
  const auto found = byLang_.find(lang);
  return found != byLang_.end() ? found->second : default_;
}

bool CEncodingCfg::Do(Serial::ISerialStream& s) {
  const bool mapOk = Serial::InNode(s, u"EncodingByLang", [&] {
    Serial::DefaultSerialStrategy<int> key;
    Serial::DefaultSerialStrategy<CEncoding> value;
    Serial::PairSerialStrategy<int, CEncoding> pair(key, value);
    return Serial::MapSerialStrategy<EncodingMap>(pair).Do(s, byLang_);
  });
  if (!mapOk) return false;
  return Serial::InNode(s, u"Default", [&] { return default_.Do(s); });
}

ITEMLIB_REGISTER_PROP(CEncodingCfgProp, u"EncodingCfg");

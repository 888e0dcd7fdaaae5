// Building of the language map from the platform's national-language data
// and its queries. The map holds no language data of its own: only the few
// naming rules below (Chinese, Norwegian, the culture names "no" and
// "zh-CHT") that the project files and their users have always seen.
#include "lang/LangMap.h"

#include "items/TransItem.h"
#include "text/TextUtil.h"

namespace {

constexpr int kPrimaryMask = 0x3FF;
constexpr int kSublangMask = 0xFC00;
constexpr int kDefaultSublang = 0x400;
constexpr int kChinese = 0x04;
constexpr int kNorwegian = 0x14;
constexpr int kIrish = 0x3C;      // its default sublanguage is another language
constexpr int kInuktitut = 0x5D;  // listed by script only
constexpr int kSimplifiedChinese = 0x0804;

// The raw 16-bit language of a language value, sign-extended.
int Key(int lang) { return CLangId(lang).GetRawLng(); }

// A locale string of at most `capacity` code units, terminator included;
// empty when the system has none.
CString LocaleText(int lcid, Nls::LCTYPE type, int capacity) {
  CString text;
  const int written =
      Nls::GetLocaleInfoW(static_cast<Nls::LCID>(lcid), type, text.GetBuffer(capacity), capacity);
  text.ReleaseBuffer(written > 0 ? written - 1 : 0);
  return text;
}

// Leading digits in `base` as the C runtime's scanners read them; 0 when
// there are none.
int ParseInt(const CString& text, int base) {
  int value = 0;
  for (int i = 0; i < text.GetLength(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) break;
    if (value > (0x7FFFFFFF - digit) / base) break;  // the locale texts are short
    value = value * base + digit;
  }
  return value;
}

}  // namespace

std::unique_ptr<CLangMap> CLangMap::instance;

CLangMap::CLangMap(const CLangMap& other) : langs_(other.langs_), names_(other.names_) {
  Reindex();
}

CLangMap& CLangMap::operator=(const CLangMap& other) {
  if (this != &other) {
    langs_ = other.langs_;
    names_ = other.names_;
    Reindex();
  }
  return *this;
}

const CLangMap& CLangMap::Instance() { return GetInstance(); }

CLangMap& CLangMap::GetInstance() {
  if (!instance) {
    // Built before it is stored, so that a failed build leaves no half map.
    std::unique_ptr<CLangMap> map(new CLangMap());
    map->Init();
    instance = std::move(map);
  }
  return *instance;
}

void CLangMap::Init() {
  Nls::EnumSystemLanguageGroupsW(EnumLanguageGroupsProc, Nls::LGRPID_SUPPORTED,
                                 reinterpret_cast<Nls::LONG_PTR>(this));
  CompletePrimaryLanguages();
  NameGroups(FillEntries());
  Reindex();
}

Nls::BOOL CLangMap::EnumLanguageGroupsProc(Nls::LGRPID group, char16_t* /*groupText*/,
                                           char16_t* /*groupName*/, Nls::DWORD /*flags*/,
                                           Nls::LONG_PTR param) {
  Nls::EnumLanguageGroupLocalesW(EnumLanguageGroupLocalesProc, group, 0, param);
  return Nls::TRUE;
}

Nls::BOOL CLangMap::EnumLanguageGroupLocalesProc(Nls::LGRPID group, Nls::LCID locale,
                                                 char16_t* /*localeText*/, Nls::LONG_PTR param) {
  CLangMap& map = *reinterpret_cast<CLangMap*>(param);
  const int id = ParseInt(LocaleText(static_cast<int>(locale), Nls::LOCALE_ILANGUAGE, 5), 16);
  CLangDescr& entry = map.langs_.try_emplace(id, u"").first->second;
  entry.lcid = static_cast<int>(locale);
  entry.languageGroup = static_cast<int>(group);
  return Nls::TRUE;
}

// Every language gets its neutral entry and its default sublanguage; the
// neutral one borrows the default sublanguage's locale.
void CLangMap::CompletePrimaryLanguages() {
  std::set<int> missing;
  for (const auto& [id, entry] : langs_) {
    const int primary = id & kPrimaryMask;
    if (primary == kIrish || primary == kInuktitut) continue;
    if (langs_.count(primary) == 0) missing.insert(primary);
    if (langs_.count(primary | kDefaultSublang) == 0) missing.insert(primary | kDefaultSublang);
  }
  for (const int id : missing) {
    const CLangDescr& model = langs_.try_emplace(id | kDefaultSublang, u"").first->second;
    const int lcid = model.lcid;
    const int group = model.languageGroup;
    CLangDescr& entry = langs_.try_emplace(id, u"").first->second;
    entry.lcid = lcid;
    entry.languageGroup = group;
  }
}

CLangMap::Grouping CLangMap::FillEntries() {
  Grouping groups;
  for (auto& [id, entry] : langs_) {
    if (entry.lcid == 0) entry.lcid = id;
    entry.isoCountry = LocaleText(entry.lcid, Nls::LOCALE_SISO3166CTRYNAME, 200);
    entry.isoLanguage = LocaleText(entry.lcid, Nls::LOCALE_SISO639LANGNAME, 200);
    const int primary = id & kPrimaryMask;
    const int sublang = id & kSublangMask;
    // The names .NET gives the neutral Norwegian and Traditional Chinese.
    if (primary == kNorwegian && (sublang == 0 || sublang == kDefaultSublang)) {
      entry.cultureName = u"no";
    } else if (id == kChinese) {
      entry.cultureName = u"zh-CHT";
    } else if (sublang == 0) {
      entry.cultureName = entry.isoLanguage;
    } else {
      entry.cultureName = entry.isoLanguage + u"-" + entry.isoCountry;
    }
    CString codepage = LocaleText(entry.lcid, Nls::LOCALE_IDEFAULTANSICODEPAGE, 30);
    if (codepage.IsEmpty()) codepage = LocaleText(entry.lcid, Nls::LOCALE_IDEFAULTCODEPAGE, 30);
    entry.ansiCodepage = ParseInt(codepage, 10);
    groups[{primary, entry.ansiCodepage}].insert(id);
  }
  return groups;
}

void CLangMap::NameGroups(const Grouping& groups) {
  for (const auto& [key, ids] : groups) {
    const int first = *ids.begin();
    const int primary = key.first;
    CString groupName;
    if (primary == kChinese) {
      groupName.Format(u"%s, %s",
                       LocaleText(langs_.at(first).lcid, Nls::LOCALE_SENGLANGUAGE, 200).GetString(),
                       (first & kSublangMask) == 0x800 ? u"Simplified" : u"Traditional");
    } else if (primary == kNorwegian) {
      groupName = u"Norwegian";
    } else {
      groupName = LocaleText(langs_.at(first).lcid, Nls::LOCALE_SENGLANGUAGE, 200);
    }
    // Another code page of the same language takes the name over.
    NameNode& node = names_[groupName];
    node = NameNode{first, {}};
    langs_.at(first).name = groupName;
    // The Simplified Chinese group has no neutral language of its own (0x0004
    // is Traditional here): its first member is listed among the regions
    // too, and no member is renamed after its region.
    const bool simplified = first == kSimplifiedChinese;
    for (const int id : ids) {
      if (id == first && !simplified) continue;
      CLangDescr& entry = langs_.at(id);
      const CString subName = LocaleText(
          entry.lcid, primary == kNorwegian ? Nls::LOCALE_SENGLANGUAGE : Nls::LOCALE_SENGCOUNTRY,
          200);
      if (!simplified) entry.name = subName;
      if ((id & kSublangMask) != 0) node.children[subName] = id;
    }
  }
}

void CLangMap::Reindex() {
  byId_.clear();
  byCulture_.clear();
  longNames_.clear();
  for (const auto& [id, entry] : langs_) {
    byId_.emplace(id, &entry);
    CString culture = entry.cultureName;
    byCulture_.emplace(culture.MakeLower(), id);  // ascending ids: the first one stays
  }
  // The long name of an id is the first match of a walk in name order,
  // children before their group.
  for (const auto& [groupName, node] : names_) {
    for (const auto& [subName, id] : node.children) {
      longNames_.emplace(id, groupName + u" - " + subName);
    }
    longNames_.emplace(node.id, groupName);
  }
}

const CLangDescr& CLangMap::GetLang(int lang) const {
  const auto it = byId_.find(Key(lang));
  return it != byId_.end() ? *it->second : langs_.begin()->second;
}

int CLangMap::GetAnsiCodepage(int lang) const {
  const auto it = byId_.find(Key(lang));
  return it != byId_.end() ? it->second->ansiCodepage : 0;
}

int CLangMap::GetLangByCulName(CString culture) const {
  const auto it = byCulture_.find(culture.MakeLower());
  return it != byCulture_.end() ? it->second : -1;
}

bool CLangMap::IsRtlLang(int lang) const {
  switch (Key(lang) & kPrimaryMask) {
    case 0x01:  // Arabic
    case 0x0D:  // Hebrew
    case 0x20:  // Urdu
    case 0x29:  // Farsi
    case 0x5A:  // Syriac
    case 0x65:  // Divehi
      return true;
    default:
      return false;
  }
}

CString CLangMap::GetWinLang(int lang) const {
  const int key = Key(lang);
  CString abbrev = LocaleText(key, Nls::LOCALE_SABBREVLANGNAME, 4);
  return (key & kSublangMask) == 0 ? abbrev.Left(2) : abbrev;
}

CString CLangMap::GetLongLangName(int lang) const {
  const int key = Key(lang);
  const auto it = longNames_.find(key);
  if (it != longNames_.end()) return it->second;
  CString name;
  if ((key & kSublangMask) != 0) {
    name.Format(u"%s - (%d)", GetLongLangName(key & kPrimaryMask).GetString(),
                (key & 0xFFFF) >> 10);
  } else {
    name.Format(u"%d", key);
  }
  return name;
}

std::map<CString, CString> CLangMap::GetLangMacros(int lang) const {
  const int key = Key(lang);
  const CLangDescr& entry = GetLang(key);
  CString javaLang = entry.cultureName;
  javaLang.Replace(u'-', u'_');
  CString id;
  id.Format(u"%d", key);
  return {
      {u"$(CultureName)", entry.cultureName},
      {u"$(WinLang)", GetWinLang(key)},
      {u"$(JavaLang)", javaLang},
      {u"$(LangId)", id},
      {u"$(LangLongName)", GetLongLangName(key)},
      {u"$(LangName)", entry.name},
  };
}

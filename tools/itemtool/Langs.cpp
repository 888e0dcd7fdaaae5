// Printing of the language map. The map answers queries by id and does not
// list itself, so the command finds its languages by asking for every id.
#include "Langs.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "Dump.h"
#include "lang/LangMap.h"

namespace itemtool {

namespace {

// The ids the map knows, ascending. An unknown id answers with the entry of
// the smallest id, which is itself the first id of its culture name. Ids
// from 0x8000 are negative once sign-extended and never stored.
std::vector<int> KnownIds(const CLangMap& map) {
  const CLangDescr* fallback = &map.GetLang(-1);
  const int smallest = map.GetLangByCulName(fallback->cultureName);
  std::vector<int> ids;
  for (int id = 0; id < 0x8000; ++id) {
    if (id == smallest || &map.GetLang(id) != fallback) ids.push_back(id);
  }
  return ids;
}

// Pads UTF-8 `text` to `width` characters; `length` is its length in UTF-16
// code units, which the names of the table use one per character.
std::string Padded(const std::string& text, int length, int width) {
  return text + std::string(length < width ? static_cast<size_t>(width - length) : 1, ' ');
}

}  // namespace

int PrintLangs(bool json, std::ostream& out) {
  const CLangMap& map = CLangMap::Instance();
  const std::vector<int> ids = KnownIds(map);
  std::string text;
  if (json) text += "[";
  for (size_t i = 0; i < ids.size(); ++i) {
    const int id = ids[i];
    const CLangDescr& lang = map.GetLang(id);
    const CString name = map.GetLongLangName(id);
    const CString abbrev = map.GetWinLang(id);
    const bool rtl = map.IsRtlLang(id);
    if (json) {
      text += i == 0 ? "\n  {\"id\": " : ",\n  {\"id\": ";
      text += std::to_string(id);
      text += ", \"culture\": ";
      AppendJsonString(text, lang.cultureName.view());
      text += ", \"name\": ";
      AppendJsonString(text, name.view());
      text += ", \"abbrev\": ";
      AppendJsonString(text, abbrev.view());
      text += ", \"ansi\": " + std::to_string(lang.ansiCodepage);
      text += rtl ? ", \"rtl\": true}" : ", \"rtl\": false}";
      continue;
    }
    char hexId[16];
    std::snprintf(hexId, sizeof hexId, "0x%04x  ", static_cast<unsigned int>(id));
    text += hexId;
    text += Padded(lang.cultureName.ToUtf8(), lang.cultureName.GetLength(), 12);
    text += Padded(name.ToUtf8(), name.GetLength(), 48);
    text += Padded(abbrev.ToUtf8(), abbrev.GetLength(), 4);
    const std::string ansi = std::to_string(lang.ansiCodepage);
    text += rtl ? Padded(ansi, static_cast<int>(ansi.size()), 6) + "rtl\n" : ansi + '\n';
  }
  if (json) text += "\n]\n";
  out << text;
  return kExitOk;
}

}  // namespace itemtool

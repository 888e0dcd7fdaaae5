// The insight commands over the library's statistics, checks and
// pseudo-translation: options, the project's languages, and the printing.
#include "Insight.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "Dump.h"
#include "Project.h"
#include "config/PrjConfig.h"
#include "exchange/Checks.h"
#include "exchange/Exchange.h"
#include "exchange/Pseudo.h"
#include "exchange/Stats.h"
#include "platform/Files.h"
#include "serial/SerialFile.h"

namespace itemtool {

namespace {

struct Options {
  std::vector<std::string> files;
  std::vector<std::string> langs;
  bool json = false;
  bool byFile = false;
  int expand = kDefaultPseudoExpand;
  std::string output;
};

int Usage(const std::string& message, std::ostream& err) {
  err << "itemtool: " << message << "\nusage:" << kInsightUsage + 6;
  return kExitUnreadable;
}

// Returns -1 when the arguments suit `command`, else the usage status.
int ParseOptions(const std::string& command, const std::vector<std::string>& args, Options& o,
                 std::ostream& err) {
  const bool pseudo = command == "pseudo";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--lang" && hasValue) {
      o.langs.push_back(args[++i]);
    } else if (arg == "--json" && !pseudo) {
      o.json = true;
    } else if (arg == "--by-file" && command == "stats") {
      o.byFile = true;
    } else if (arg == "--expand" && pseudo && hasValue) {
      const std::string& value = args[++i];
      char* end = nullptr;
      const long percent = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || percent < 0 || percent > kMaxPseudoExpand) {
        return Usage("--expand takes a percentage from 0 to " + std::to_string(kMaxPseudoExpand), err);
      }
      o.expand = static_cast<int>(percent);
    } else if (arg == "-o" && pseudo && hasValue) {
      o.output = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage("unknown option or missing value: " + arg, err);
    } else {
      o.files.push_back(arg);
    }
  }
  if (o.files.size() != 1) return Usage(command + " takes one PROJECT", err);
  if (pseudo && o.langs.size() != 1) return Usage("pseudo takes one --lang LANG", err);
  return -1;
}


std::string LangName(int lang) {
  char id[24];
  std::snprintf(id, sizeof id, " (0x%04x)", static_cast<unsigned>(lang));
  return LangCultureName(lang).ToUtf8() + id;
}

// The project's target languages that `texts` name (all when empty), each
// with its source: the native language in the target's brand.
bool ResolveLangs(const CResItem& root, const std::vector<std::string>& texts,
                  std::vector<CUnitLangs>& out, std::ostream& err) {
  const int native = CPrjConfig::GetNative(root);
  const CLangSet& selected = CPrjConfig::GetSelectedLangs(root);
  if (CLangId(native).GetRawLng() == CLangId(CLangId::Undefined).GetRawLng() || selected.empty()) {
    err << "itemtool: the project has no native language or selects no target language\n";
    return false;
  }
  std::vector<int> targets;
  if (texts.empty()) targets.assign(selected.begin(), selected.end());
  for (const std::string& text : texts) {
    int lang = 0;
    if (!ParseLangText(CString::FromUtf8(text), lang)) {
      err << "itemtool: unknown language " << text << '\n';
      return false;
    }
    // A neutral language ("ja") names the one selected language it covers.
    const int chosen = ProjectLang(root, lang);
    if (selected.count(chosen) == 0) {
      err << "itemtool: the project does not select " << text << '\n';
      return false;
    }
    targets.push_back(chosen);
  }
  for (const int target : targets) {
    out.push_back(CUnitLangs{CPrjConfig::GetBrandNative(target, native), target});
  }
  return true;
}

std::string Percent(const CStatCounts& c) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", c.PercentTranslated());
  return text;
}

void JsonCounts(const CStatCounts& c, std::ostream& out) {
  out << "\"units\": " << c.units << ", \"translated\": " << c.translated
      << ", \"untranslated\": " << c.units - c.translated << ", \"words\": " << c.words
      << ", \"translatedWords\": " << c.translatedWords
      << ", \"untranslatedWords\": " << c.words - c.translatedWords
      << ", \"characters\": " << c.characters
      << ", \"translatedCharacters\": " << c.translatedCharacters
      << ", \"untranslatedCharacters\": " << c.characters - c.translatedCharacters
      << ", \"percent\": " << Percent(c);
}

void PrintStats(const std::vector<CLangStats>& all, bool json, std::ostream& out) {
  if (json) {
    out << "{\"languages\": [";
    for (size_t i = 0; i < all.size(); ++i) {
      const CLangStats& s = all[i];
      std::string lang;
      AppendJsonString(lang, LangCultureName(s.langs.target).view());
      out << (i ? ", " : "") << "{\"lang\": " << lang << ", \"id\": " << s.langs.target
          << ", \"source\": " << s.langs.source << ", ";
      JsonCounts(s.total, out);
      out << ", \"files\": [";
      for (size_t f = 0; f < s.files.size(); ++f) {
        std::string id;
        AppendJsonString(id, s.files[f].id.view());
        out << (f ? ", " : "") << "{\"file\": " << id << ", ";
        JsonCounts(s.files[f].counts, out);
        out << '}';
      }
      out << "]}";
    }
    out << "]}\n";
    return;
  }
  char line[160];
  for (const CLangStats& s : all) {
    const CStatCounts& c = s.total;
    out << LangName(s.langs.target) << ": " << Percent(c) << "% translated by words\n";
    std::snprintf(line, sizeof line, "  %-12s %12s %12s %12s\n", "", "units", "words", "characters");
    out << line;
    std::snprintf(line, sizeof line, "  %-12s %12llu %12llu %12llu\n", "translated",
                  static_cast<unsigned long long>(c.translated),
                  static_cast<unsigned long long>(c.translatedWords),
                  static_cast<unsigned long long>(c.translatedCharacters));
    out << line;
    std::snprintf(line, sizeof line, "  %-12s %12llu %12llu %12llu\n", "untranslated",
                  static_cast<unsigned long long>(c.units - c.translated),
                  static_cast<unsigned long long>(c.words - c.translatedWords),
                  static_cast<unsigned long long>(c.characters - c.translatedCharacters));
    out << line;
    std::snprintf(line, sizeof line, "  %-12s %12llu %12llu %12llu\n", "total",
                  static_cast<unsigned long long>(c.units), static_cast<unsigned long long>(c.words),
                  static_cast<unsigned long long>(c.characters));
    out << line;
    for (const CFileStats& f : s.files) {
      const CStatCounts& fc = f.counts;
      out << "  file " << f.id.ToUtf8() << ": " << Percent(fc) << "%, units " << fc.translated
          << " of " << fc.units << ", words " << fc.translatedWords << " of " << fc.words
          << ", characters " << fc.translatedCharacters << " of " << fc.characters << '\n';
    }
  }
}

// Findings stream out as the walk finds them.
size_t PrintFindings(CResItem& root, const std::vector<CUnitLangs>& langs, bool json,
                     std::ostream& out) {
  size_t count = 0;
  std::string line;
  if (json) out << "{\"findings\": [";
  for (const CUnitLangs& pair : langs) {
    const CString lang = LangCultureName(pair.target);
    CheckProject(root, pair, [&](const CFinding& f) {
      line.clear();
      if (json) {
        line += count++ != 0 ? ",\n  {\"lang\": " : "\n  {\"lang\": ";
        AppendJsonString(line, lang.view());
        line += ", \"id\": ";
        AppendJsonString(line, f.id);
        line += ", \"kind\": \"";
        line += CheckKindName(f.kind);
        line += "\", \"text\": ";
        AppendJsonString(line, f.text->view());
        line += '}';
      } else {
        ++count;
        // Tabs: ids may hold spaces.
        line = lang.ToUtf8() + '\t' + CString(f.id).ToUtf8() + '\t' + CheckKindName(f.kind) +
               '\t' + f.text->ToUtf8() + '\n';
      }
      out << line;
      return true;
    });
  }
  if (json) out << (count != 0 ? "\n" : "") << "], \"count\": " << count << "}\n";
  return count;
}

}  // namespace

bool IsInsightCommand(const std::string& command) {
  return command == "stats" || command == "check" || command == "pseudo";
}

int RunInsightCommand(const std::string& command, const std::vector<std::string>& args,
                      std::ostream& out, std::ostream& err) {
  Options o;
  if (const int e = ParseOptions(command, args, o, err); e >= 0) return e;
  std::unique_ptr<CResItem> root;
  if (!LoadProject(o.files[0], root, err)) root.reset();
  if (!root) return kExitUnreadable;
  std::vector<CUnitLangs> langs;
  if (!ResolveLangs(*root, o.langs, langs, err)) return kExitUnreadable;
  if (command == "stats") {
    PrintStats(CollectStats(*root, langs, o.byFile), o.json, out);
    return kExitOk;
  }
  if (command == "check") {
    const size_t found = PrintFindings(*root, langs, o.json, out);
    if (!o.json) err << "itemtool: " << found << (found == 1 ? " finding\n" : " findings\n");
    return found != 0 ? 1 : kExitOk;
  }
  const size_t written = PseudoTranslateProject(*root, langs[0], o.expand);
  const std::string& target = o.output.empty() ? o.files[0] : o.output;
  CString error;
  if (!::SaveProjectFile(CString::FromUtf8(target), *root, SaveLevelOf(o.files[0]), error)) {
    err << "itemtool: " << target << ": " << error.ToUtf8() << '\n';
    return kExitUnreadable;
  }
  out << "pseudo-translated " << written << " units into " << LangName(langs[0].target) << '\n';
  return kExitOk;
}

}  // namespace itemtool

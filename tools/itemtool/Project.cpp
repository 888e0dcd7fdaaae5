// The sample project, project files and their summary.
#include "Project.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "Dump.h"
#include "config/PrjConfig.h"
#include "platform/Files.h"
#include "serial/BinarySerialIn.h"
#include "serial/SerialStrategies.h"
#include "serial/Streams.h"

namespace itemtool {

namespace {

CResItem* NewItem(int type, const CString& resId, const CString& comment = CString()) {
  auto* item = new CResItem();
  item->SetType(type);
  item->SetResId(resId);
  if (!comment.IsEmpty()) item->SetComment(comment);
  return item;
}

void Translate(CResItem& item, int lang, const CString& text, int status) {
  auto* trans = new CTransItem(lang);
  trans->SetStr(text);
  trans->SetStatus(status);
  item.AddTransItem(trans);
}

// Source text in English, translations into German and Japanese.
CResItem* NewText(int type, const CString& resId, const char16_t* english, const char16_t* german,
                  const char16_t* japanese) {
  CResItem* item = NewItem(type, resId);
  Translate(*item, kEnglish, english, 2);
  Translate(*item, kGerman, german, 1);
  Translate(*item, kJapanese, japanese, 0);
  return item;
}

}  // namespace

std::unique_ptr<CResItem> BuildSampleProject() {
  auto root = std::make_unique<CResItem>();
  root->SetType(kProjectType);
  root->SetResId(u"@Sample project");
  root->GetCfgProps().SetPropW(u"FuzzyUpdate", new CIntProp(85));
  root->GetCfgProps().SetPropW(u"OutputDir", new CStrProp(u"..\\out\\$(CultureName)"));
  root->GetCfgProps().SetPropW(u"bCrashUseTempDir", new CBoolProp(true));

  CResItem* app = NewItem(kFileType, u"@app.exe", u"Main program");
  app->SetPropW(NetResProps::AssemblyVersion, new CStrProp(u"1.2.0.0"));
  const unsigned char header[] = {0x4D, 0x5A, 0x90, 0x00};
  app->SetData(header, sizeof header);

  CResItem* dialog = NewText(kDialogType, u"#101", u"About", u"Info", u"\u30d0\u30fc\u30b8\u30e7\u30f3");
  tagRECT rect{0, 0, 186, 95};
  dialog->SetPropW(u"Rect", new CBinaryProp(&rect, sizeof rect));
  dialog->AddResItem(NewText(kControlType, u"#1", u"OK", u"OK", u"OK"));
  dialog->AddResItem(NewText(kControlType, u"#2", u"&Cancel", u"&Abbrechen",
                             u"\u30ad\u30e3\u30f3\u30bb\u30eb"));
  CResItem* locked = NewText(kControlType, u"#1001", u"Version 1.2", u"Version 1.2",
                             u"\u30d0\u30fc\u30b8\u30e7\u30f3 1.2");
  locked->SetItemLocked(true);
  dialog->AddResItem(locked);
  app->AddResItem(dialog);

  CResItem* strings = NewItem(kStringType, u"@STRINGTABLE");
  strings->AddResItem(NewText(kStringType, u"#200", u"File not found:\n%s",
                              u"Datei nicht gefunden:\n%s",
                              u"\u30d5\u30a1\u30a4\u30eb\u304c\u3042\u308a\u307e\u305b\u3093:\n%s"));
  strings->AddResItem(NewText(kStringType, u"#201", u"Ready", u"Bereit", u"\u6e96\u5099\u5b8c\u4e86"));
  app->AddResItem(strings);
  root->AddResItem(app);

  CResItem* library = NewItem(kFileType, u"@res.dll");
  library->GetCfgProps().SetPropW(u"FuzzyUpdate", new CIntProp(100));
  library->AddResItem(NewText(kStringType, u"#300", u"Save changes?", u"\u00c4nderungen speichern?",
                              u"\u5909\u66f4\u3092\u4fdd\u5b58\u3057\u307e\u3059\u304b?"));
  root->AddResItem(library);
  return root;
}

int CannotWrite(const std::string& path, const CString& reason, std::ostream& err) {
  err << "itemtool: " << path << ": cannot write: " << reason.ToUtf8() << '\n';
  return kExitUnreadable;
}

int SaveProject(const std::string& path, const CResItem& root, std::ostream& err) {
  CString error;
  if (SaveProjectFile(CString::FromUtf8(path), root, kProjectGzipLevel, error)) return kExitOk;
  return CannotWrite(path, error, err);
}

bool LoadProject(const std::string& path, std::unique_ptr<CResItem>& root, std::ostream& err) {
  CString error;
  if (LoadProjectFile(CString::FromUtf8(path), root, error)) return true;
  err << "itemtool: " << path << ": " << error.ToUtf8() << '\n';
  return false;
}

int SaveLevelOf(const std::string& path) {
  std::vector<unsigned char> head;
  const bool gzip =
      Files::ReadAll(path, head, 2) && head.size() == 2 && head[0] == 0x1F && head[1] == 0x8B;
  return gzip ? kProjectGzipLevel : Serial::kPlainFile;
}

ProjectInfo Summarize(const CResItem& root) {
  ProjectInfo info;
  std::set<int> languages;
  // Iterative: a loaded tree may be as deep as the reader allows.
  std::vector<std::pair<const CResItem*, unsigned long long>> pending{{&root, 0}};
  while (!pending.empty()) {
    const auto [item, level] = pending.back();
    pending.pop_back();
    ++info.items;
    info.depth = std::max(info.depth, level);
    info.properties += item->GetProps().size();
    info.settings += item->GetCfgProps().GetProps().size();
    for (const auto& entry : item->GetTransMap()) {
      ++info.translations;
      info.properties += entry.second->GetProps().size();
      languages.insert(entry.first);
    }
    for (const CResItem* child : item->GetResItems()) pending.emplace_back(child, level + 1);
  }
  info.languages.assign(languages.begin(), languages.end());
  return info;
}

int InfoFile(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
  const std::unique_ptr<Serial::GZFileStreamIn> in = OpenSerialFile(path, err);
  if (!in) return kExitUnreadable;
  std::unique_ptr<CResItem> root;
  Serial::VersionInfo version = Serial::UNDEFINED_SCHEME_VERSION;
  try {
    Serial::Binary::BinarySerialIn reader(*in);
    version = reader.GetSchemeVersion();
    DoProject(reader, root);
  } catch (const Serial::Exceptions::FormatIO&) {
    root.reset();
  } catch (const std::bad_alloc&) {
    root.reset();
  }
  if (!CheckWholeFile(*in, path, err)) return kExitMalformed;
  if (!root) {
    err << "itemtool: " << path << ": not a valid project file\n";
    return kExitMalformed;
  }
  const ProjectInfo info = Summarize(*root);
  // The root's effective values: what the whole project runs with.
  const auto settings = CfgAccess::ListChanged(CPrjConfig::Settings(), *root);
  char id[16];
  if (json) {
    out << "{\"version\": \"" << version.ToString().ToUtf8() << "\", \"items\": " << info.items
        << ", \"translations\": " << info.translations << ", \"properties\": " << info.properties
        << ", \"settings\": " << info.settings << ", \"languages\": [";
    for (size_t i = 0; i < info.languages.size(); ++i) {
      out << (i ? ", " : "") << info.languages[i];
    }
    out << "], \"depth\": " << info.depth << ", \"changed\": {";
    std::string changed;
    for (const auto& [key, value] : settings) {
      if (!changed.empty()) changed += ", ";
      AppendJsonString(changed, key.view());
      changed += ": ";
      AppendJsonString(changed, value.view());
    }
    out << changed << "}}\n";
    return kExitOk;
  }
  out << "version:      " << version.ToString().ToUtf8() << '\n'
      << "items:        " << info.items << '\n'
      << "translations: " << info.translations << '\n'
      << "properties:   " << info.properties << '\n'
      << "settings:     " << info.settings << '\n'
      << "languages:   ";
  for (int lang : info.languages) {
    std::snprintf(id, sizeof id, " 0x%04x", static_cast<unsigned int>(lang));
    out << id;
  }
  out << '\n' << "depth:        " << info.depth << '\n';
  out << "settings differing from defaults:" << (settings.empty() ? " none\n" : "\n");
  for (const auto& [key, value] : settings) {
    out << "  " << key.ToUtf8() << " = " << value.ToUtf8() << '\n';
  }
  return kExitOk;
}

}  // namespace itemtool

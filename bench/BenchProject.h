// The project that project_bench and peer_bench save and load: a root, a
// thousand files and their resources, each item with five properties and
// three translations, texts numbered so that no two items store the same
// bytes. Also the root's serial strategy and an item-by-item comparison.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BenchCommon.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "platform/CString.h"
#include "props/Prop.h"
#include "serial/ISerialStream.h"
#include "serial/SerialStrategies.h"
#include "text/TextUtil.h"

namespace bench {

// Names and texts made once, so that building measures the items.
struct Vocabulary {
  CPropName caption{u"Caption"};
  CPropName style{u"Style"};
  CPropName visible{u"Visible"};
  CPropName font{u"Font"};
  CPropName helpId{u"HelpId"};
  CString fonts[2] = {u"MS Shell Dlg", u"Segoe UI"};
  static constexpr int kLangs[3] = {0x0407, 0x040C, 0x0411};  // de-DE, fr-FR, ja-JP
  static constexpr size_t kTexts = 8;
  const char16_t* texts[4][kTexts] = {
      {u"OK", u"Cancel", u"&File", u"Open...", u"Save &As...", u"Print preview",
       u"Close all windows", u"File name:"},
      {u"OK", u"Abbrechen", u"&Datei", u"\u00d6ffnen...", u"Speichern &unter...", u"Seitenansicht",
       u"Alle Fenster schlie\u00dfen", u"Dateiname:"},
      {u"OK", u"Annuler", u"&Fichier", u"Ouvrir...", u"Enregistrer &sous...", u"Aper\u00e7u",
       u"Fermer toutes les fen\u00eatres", u"Nom du fichier :"},
      {u"OK", u"\u30ad\u30e3\u30f3\u30bb\u30eb", u"\u30d5\u30a1\u30a4\u30eb(&F)",
       u"\u958b\u304f...", u"\u540d\u524d\u3092\u4ed8\u3051\u3066\u4fdd\u5b58(&A)...",
       u"\u5370\u5237\u30d7\u30ec\u30d3\u30e5\u30fc", u"\u3059\u3079\u3066\u9589\u3058\u308b",
       u"\u30d5\u30a1\u30a4\u30eb\u540d:"}};
};

inline const Vocabulary& Words() {
  static const Vocabulary words;
  return words;
}

// A UI text with the item's number, so that no two items store the same
// bytes (repeated texts would flatter the compression).
inline CString Numbered(const char16_t* text, uint32_t n) {
  std::u16string out(text);
  out += u' ';
  char16_t digits[10];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + n % 10);
    n /= 10;
  } while (n != 0);
  while (count > 0) out += digits[--count];
  return CString(std::move(out));
}

// Five properties (two strings, two integers, a flag) and three
// translations.
inline void FillItem(CResItem& item, uint32_t n, int type) {
  const Vocabulary& w = Words();
  const size_t text = n % Vocabulary::kTexts;
  item.SetType(type);
  item.SetResId(ToUnifiedFmt(static_cast<unsigned long>(n)));
  item.SetPropW(w.caption, new CStrProp(Numbered(w.texts[0][text], n)));
  item.SetPropW(w.style, new CIntProp(static_cast<int>(0x50010000u | (n & 0xFFu))));
  item.SetPropW(w.visible, new CBoolProp(n % 5 != 0));
  item.SetPropW(w.font, new CStrProp(w.fonts[n % 2]));
  item.SetPropW(w.helpId, new CIntProp(static_cast<int>(n)));
  for (size_t lang = 0; lang < std::size(Vocabulary::kLangs); ++lang) {
    auto* trans = new CTransItem(Vocabulary::kLangs[lang]);
    trans->SetStr(Numbered(w.texts[lang + 1][text], n));
    item.AddTransItem(trans);
  }
}

// `items` counts the root and the files too.
struct Plan {
  size_t items;
  size_t files;
};

inline std::unique_ptr<CResItem> BuildProject(const Plan& plan) {
  auto root = std::make_unique<CResItem>();
  uint32_t n = 0;
  FillItem(*root, n++, 1);
  const size_t resources = plan.items - 1 - plan.files;
  for (size_t f = 0; f < plan.files; ++f) {
    auto* file = new CResItem();
    FillItem(*file, n++, 2);
    root->AddResItem(file);
    const size_t children = resources / plan.files + (f < resources % plan.files ? 1 : 0);
    for (size_t c = 0; c < children; ++c) {
      auto* resource = new CResItem();
      FillItem(*resource, n++, 3);
      file->AddResItem(resource);
    }
  }
  return root;
}

// The whole trees compare equal, item by item, and `loaded` has every
// parent link set.
inline bool SameProject(const CResItem& built, const CResItem& loaded) {
  std::vector<std::pair<const CResItem*, const CResItem*>> pending{{&built, &loaded}};
  while (!pending.empty()) {
    const auto [a, b] = pending.back();
    pending.pop_back();
    if (*a != *b || !SameProps(*a, *b) || !SameProps(a->GetCfgProps(), b->GetCfgProps())) {
      return false;
    }
    const auto& transA = a->GetTransMap();
    const auto& transB = b->GetTransMap();
    if (transA.size() != transB.size()) return false;
    for (auto ta = transA.begin(), tb = transB.begin(); ta != transA.end(); ++ta, ++tb) {
      if (ta->first != tb->first || *ta->second != *tb->second ||
          !SameProps(*ta->second, *tb->second) || tb->second->GetParent() != b) {
        return false;
      }
    }
    const auto& childrenA = a->GetResItems();
    const auto& childrenB = b->GetResItems();
    if (childrenA.size() != childrenB.size()) return false;
    for (size_t i = 0; i < childrenA.size(); ++i) {
      if (childrenB[i]->GetParent() != b) return false;
      pending.emplace_back(childrenA[i], childrenB[i]);
    }
  }
  return true;
}

inline size_t CountItems(const CResItem& root) {
  size_t count = 0;
  std::vector<const CResItem*> pending{&root};
  while (!pending.empty()) {
    const CResItem* item = pending.back();
    pending.pop_back();
    ++count;
    pending.insert(pending.end(), item->GetResItems().begin(), item->GetResItems().end());
  }
  return count;
}

// The start of a bench over the million-item project: freed pages kept (see
// KeepFreedPages), `--smoke` taken (a hundredth of the project) and a
// temporary folder made. main() returns status() at once when it is not 0.
class ProjectBenchStart {
 public:
  ProjectBenchStart(const char* name, int argc, char** argv) : temp_(name) {
    KeepFreedPages();
    bool argsOk = true;
    smoke_ = TakeSmokeFlag(argc, argv, argsOk);
    if (!argsOk) {
      status_ = 2;
    } else if (temp_.path().empty()) {
      std::fprintf(stderr, "%s: cannot create a temporary folder\n", name);
      status_ = 1;
    }
  }
  int status() const { return status_; }
  bool smoke() const { return smoke_; }
  const std::filesystem::path& dir() const { return temp_.path(); }
  Plan plan() const {
    const size_t divisor = smoke_ ? 100 : 1;
    return {1000000 / divisor, 1000 / divisor};
  }

 private:
  TempDir temp_;
  bool smoke_ = false;
  int status_ = 0;
};

}  // namespace bench

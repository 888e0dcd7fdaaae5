// Statistics, checks and pseudo-translation: each check kind on positive and
// negative pairs, word counts across scripts, the spans pseudo-translation
// must keep, and our findings next to translate-toolkit's pofilter.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "ExchangeTestUtil.h"
#include "exchange/Checks.h"
#include "exchange/Pseudo.h"
#include "exchange/Stats.h"
#include "exchange/TextCodes.h"

namespace {

using namespace exchange_test;

std::string Kinds(const std::vector<CTextFinding>& found) {
  std::string out;
  for (const CTextFinding& f : found) out += (out.empty() ? "" : ",") + std::string(CheckKindName(f.kind));
  return out;
}

TEST(Checks, EachKindOnPositiveAndNegativePairs) {
  struct Case {
    const char16_t* source;
    const char16_t* target;
    const char* kinds;
  } const cases[] = {
      {u"One\ntwo", u"Eins zwei", "escape"},
      {u"C:\\new\\\\x", u"C:\\neu\\\\x", ""},
      {u"C:\\new", u"C:\\neu\\t", "escape"},
      {u"%d files", u"%s Dateien", "printf"},
      {u"%s of %d", u"%2$d von %1$s", ""},
      {u"%-5.2f MB", u"%5.2f MB", ""},
      {u"%i%%", u"%d %%", ""},
      {u"50%% off", u"50% Rabatt", "printf"},
      {u"%1!d! items", u"%1!s! Elemente", "printf"},
      {u"%1 of %2", u"%2 von %1", ""},
      {u"{0} of {1}", u"{1} von {0}", ""},
      {u"{1:N2} MB", u"{1:N0} MB", "dotnet"},
      {u"{0}", u"{{0}}", "dotnet"},
      {u"&Save", u"Speichern", "accelerator"},
      {u"Save", u"&Speichern", "accelerator"},
      {u"&File", u"\u30d5\u30a1\u30a4\u30eb(&F)", ""},
      {u"Salt && pepper", u"Salz && Pfeffer", ""},
      {u" Name", u"Name", "whitespace"},
      {u"Name: ", u"Nom : ", ""},
      {u"Save?", u"Speichern", "punctuation"},
      {u"Open...", u"\u00d6ffnen\u2026", ""},
      {u"Name:", u"\u540d\u524d\uff1a", ""},
      {u"&Open...", u"\u958b\u304f(&O)...", ""},
      {u"Error %1!d!", u"Fehler %1!d!", ""},
      {u"Text", u"", "empty"},
      {u"Cancel", u"Cancel", "identical"},
      {u"%d / %d", u"%d / %d", ""},
  };
  for (const Case& c : cases) {
    std::vector<CTextFinding> found;
    CheckTexts(c.source, c.target, true, found);
    EXPECT_EQ(Kinds(found), c.kinds) << CString(c.source).ToUtf8();
  }
  std::vector<CTextFinding> found;
  CheckTexts(u"Text", u"", false, found);
  EXPECT_TRUE(found.empty()) << "untranslated is not empty";
}

// A dialog whose translation gives two controls one key; a clash the
// source already has is left alone.
TEST(Checks, SiblingsSharingAnAcceleratorInTheTranslation) {
  auto root = Project();
  CResItem* dialog = root->GetResItems()[0]->GetResItems()[0];
  Add(*dialog, 6, u"#3", u"&Save", u"&Speichern");
  Add(*dialog, 6, u"#4", u"&Print", u"&Seite drucken");
  Add(*dialog, 6, u"#5", u"&Search", u"&Suchen");
  Add(*root->GetResItems()[1], 6, u"#6", u"&Print", u"&Sichern");
  std::vector<std::string> found;
  CheckProject(*root, CUnitLangs{kEn, kDe}, [&](const CFinding& f) {
    if (f.kind == CheckKind::kAcceleratorConflict) found.push_back(CString(f.id).ToUtf8());
    return true;
  });
  EXPECT_EQ(found, std::vector<std::string>{"#2:@app.exe/#5:#101/#6:#4"});
}

TEST(Stats, WordsAcrossScriptsNumbersAndPunctuation) {
  struct Case {
    int lang;
    const char16_t* text;
    uint64_t words;
    uint64_t characters;
  } const cases[] = {
      {kEn, u"Save changes?", 2, 13},
      {kEn, u"Version 1.2 of 3", 2, 16},
      {kEn, u"%d files in {0}", 2, 15},
      {kEn, u"&File", 1, 5},
      {kEn, u"Don't stop", 2, 10},
      {kEn, u"... !! 42", 0, 9},
      {kJa, u"\u540d\u524d\u3092\u4ed8\u3051\u3066\u4fdd\u5b58", 5, 8},
      {kJa, u"\u30d5\u30a1\u30a4\u30eb(&F)", 1, 8},
      {kEn, u"\U0001F600 smile", 1, 7},
  };
  for (const Case& c : cases) {
    CWordCounter counter(c.lang);
    const CTextCount count = counter.Count(c.text);
    EXPECT_EQ(count.words, c.words) << CString(c.text).ToUtf8();
    EXPECT_EQ(count.characters, c.characters) << CString(c.text).ToUtf8();
  }
}

TEST(Stats, PerLanguageAndPerFile) {
  auto root = Project();
  const auto stats = CollectStats(*root, {CUnitLangs{kEn, kDe}, CUnitLangs{kEn, kJa}}, true);
  ASSERT_EQ(stats.size(), 2u);
  // About, OK, &Cancel, Save changes?: German lacks Cancel only.
  const CStatCounts& de = stats[0].total;
  EXPECT_EQ(de.units, 4u);
  EXPECT_EQ(de.translated, 3u);
  EXPECT_EQ(de.words, 5u);
  EXPECT_EQ(de.translatedWords, 4u);
  EXPECT_EQ(de.characters, 27u);
  EXPECT_EQ(de.translatedCharacters, 20u);
  EXPECT_DOUBLE_EQ(de.PercentTranslated(), 80.0);
  ASSERT_EQ(stats[0].files.size(), 2u);
  EXPECT_EQ(stats[0].files[1].id.ToUtf8(), "#2:@res.dll");
  EXPECT_EQ(stats[0].files[1].counts.words, 2u);
  EXPECT_EQ(stats[1].total.translated, 0u);
  EXPECT_DOUBLE_EQ(stats[1].total.PercentTranslated(), 0.0);
}

// Every code of the source comes out exactly, in order; ends are kept; the
// checks find nothing; letterless texts stay as they are.
TEST(Pseudo, KeepsEveryProtectedSpan) {
  const char16_t* const sources[] = {
      u"  &Open %s...\n", u"Copy {0,-8:N2} of %1!d! (\\t)\t%%", u"File \\\\server:",
      u"Error %1!d!", u"&Open...(&O)", u"%d / {0}", u"  ", u"Save?",
  };
  for (const char16_t* source : sources) {
    const CString pseudo = PseudoTranslate(source, 30);
    const std::u16string_view s(source), p = pseudo.view();
    std::vector<CTextCode> a, b;
    ScanCodes(s, a);
    ScanCodes(p, b);
    ASSERT_EQ(a.size(), b.size()) << pseudo.ToUtf8();
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(s.substr(a[i].begin, a[i].length), p.substr(b[i].begin, b[i].length));
    }
    std::vector<CTextFinding> found;
    CheckTexts(s, p, true, found);
    EXPECT_EQ(Kinds(found), "") << pseudo.ToUtf8();
    if (!HasLetters(s, a)) {
      EXPECT_EQ(p, s);
      continue;
    }
    EXPECT_NE(p.find(u'['), std::u16string_view::npos);
    EXPECT_GE(p.size() * 10, s.size() * 13) << pseudo.ToUtf8();
  }
  EXPECT_EQ(PseudoTranslate(u"Ab c.", 100).ToUtf8(), "[\u00c5\u0180 \u00e7~~~].");
}

TEST(Pseudo, ProjectChecksClean) {
  auto root = Project();
  CResItem* dialog = root->GetResItems()[0]->GetResItems()[0];
  Add(*dialog, 6, u"#3", u"&Save", u"&Speichern");
  Add(*dialog, 6, u"#4", u"&Search");
  EXPECT_EQ(PseudoTranslateProject(*root, CUnitLangs{kEn, kJa}, 30), 6u);
  EXPECT_EQ(CheckProject(*root, CUnitLangs{kEn, kJa}, [](const CFinding&) { return true; }), 0u);
}

// Our placeholder, accelerator and escape findings next to pofilter's on the
// same units exported as PO. `pofilter` names the check it raises; `why`
// says why the two differ where they do.
TEST(Checks, AgreeWithPofilter) {
  if (std::system("command -v pofilter >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pofilter";
  struct Case {
    const char16_t* source;
    const char16_t* target;
    const char* ours;
    const char* pofilter;
    const char* why;
  } const cases[] = {
      {u"%d files", u"%s Dateien", "printf", "printf", ""},
      {u"%s of %d", u"%2$d von %1$s", "", "", ""},
      {u"50%% off", u"50 Prozent", "", "", ""},
      {u"%-5.2f MB", u"%5.2f MB", "", "printf",
       "we compare arguments and types; pofilter also flags and width"},
      {u"%1!d! items", u"%1!s! Elemente", "printf", "",
       "pofilter does not know FormatMessage inserts"},
      {u"{0} of {1:N2}", u"{0} von {1:N0}", "dotnet", "pythonbraceformat", ""},
      {u"{0} of {1}", u"{1} von {0}", "", "", ""},
      {u"&Save", u"Speichern", "accelerator", "accelerators", ""},
      {u"&File", u"&Datei", "", "", ""},
      {u"One\ntwo", u"Eins zwei", "escape", "newlines", ""},
      {u"Tab\there", u"Tab hier", "escape", "tabs", ""},
      {u"Path\\n", u"Pfad", "escape", "escapes", ""},
  };
  auto root = std::make_unique<CResItem>();
  int n = 0;
  std::map<std::string, const Case*> byId;
  for (const Case& c : cases) {
    char id[16];
    std::snprintf(id, sizeof id, "#%d", ++n);
    CResItem* item = Add(*root, 7, CString::FromUtf8(id), c.source, c.target);
    byId["#7:" + std::string(id)] = &c;
    (void)item;
  }
  const std::string po = Export(*root, ExchangeFormat::kPo);
  const char* dir = std::getenv("ITEMLIB_TEST_TMP");
  const std::string path = std::string(dir ? dir : "/tmp") + "/insight_pofilter_" +
                           std::to_string(getpid());
  std::ofstream(path + ".po", std::ios::binary) << po;
  const std::string command = "pofilter --kde --nofuzzy -t printf -t accelerators -t escapes "
                              "-t newlines -t tabs -t pythonbraceformat -i " + path +
                              ".po -o " + path + ".out.po >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  // pofilter writes each failing unit with "# (pofilter) check: ..." lines
  // above its msgctxt.
  std::map<std::string, std::set<std::string>> theirs;
  std::ifstream out(path + ".out.po");
  std::set<std::string> pending;
  for (std::string line; std::getline(out, line);) {
    if (line.rfind("# (pofilter) ", 0) == 0) {
      pending.insert(line.substr(13, line.find(':') - 13));
    } else if (line.rfind("msgctxt \"", 0) == 0) {
      theirs[line.substr(9, line.size() - 10)] = pending;
      pending.clear();
    }
  }
  std::remove((path + ".po").c_str());
  std::remove((path + ".out.po").c_str());
  std::map<std::string, std::set<std::string>> ours;
  CheckProject(*root, CUnitLangs{kEn, kDe}, [&](const CFinding& f) {
    ours[CString(f.id).ToUtf8()].insert(CheckKindName(f.kind));
    return true;
  });
  for (const auto& [id, c] : byId) {
    const std::set<std::string> expectOurs =
        *c->ours ? std::set<std::string>{c->ours} : std::set<std::string>{};
    const std::set<std::string> expectTheirs =
        *c->pofilter ? std::set<std::string>{c->pofilter} : std::set<std::string>{};
    EXPECT_EQ(ours[id], expectOurs) << id;
    EXPECT_EQ(theirs[id], expectTheirs) << id;
    EXPECT_EQ(*c->why == '\0', (*c->ours == '\0') == (*c->pofilter == '\0')) << id;
  }
}

}  // namespace

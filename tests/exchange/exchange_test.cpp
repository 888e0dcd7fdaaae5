// Units and their ids, language texts, each format's round trip of every
// kind of character, import's counts, and documents that must be refused.
#include <gtest/gtest.h>

#include "ExchangeTestUtil.h"
#include "exchange/Formats.h"

using namespace exchange_test;

namespace {

std::vector<std::string> Ids(CResItem& root, int target = kDe) {
  std::vector<std::string> ids;
  for (const CUnitRecord& u : CollectUnits(root, CUnitLangs{kEn, target})) ids.push_back(u.id.ToUtf8());
  return ids;
}

CExchangeDoc Read(const std::string& text) {
  CExchangeDoc doc;
  CString error;
  EXPECT_TRUE(ReadExchangeDoc(text.data(), text.size(), doc, error)) << error.ToUtf8();
  return doc;
}

constexpr ExchangeFormat kFormats[] = {ExchangeFormat::kXliff12, ExchangeFormat::kXliff20,
                                       ExchangeFormat::kPo};

}  // namespace

TEST(Units, IdsNameThePathAndStayUniqueAndEscaped) {
  auto root = Project();
  CResItem* dialog = root->GetResItems()[0]->GetResItems()[0];
  Add(*dialog, 6, u"#1", u"twin");                 // same type and id as a sibling
  Add(*dialog, 6, u"@a/b%~\u0001", u"escaped");    // separators and a control
  Add(*dialog, 6, u"#3", u"");                     // an empty text is no unit
  EXPECT_EQ(Ids(*root), (std::vector<std::string>{
                            "#2:@app.exe/#5:#101", "#2:@app.exe/#5:#101/#6:#1",
                            "#2:@app.exe/#5:#101/#6:#2", "#2:@app.exe/#5:#101/#6:#1~2",
                            "#2:@app.exe/#5:#101/#6:@a%002Fb%0025%007E%0001",
                            "#2:@res.dll/#7:#300"}));
  const auto units = CollectUnits(*root, CUnitLangs{kEn, kDe});
  EXPECT_EQ(units[0].note, u"the about box");
  EXPECT_EQ(units[2].target, u"");  // untranslated
  EXPECT_EQ(units[5].fileId, u"#2:@res.dll");
  EXPECT_EQ(units[5].file, root->GetResItems()[1]);
  EXPECT_EQ(units[1].parent, dialog);
}

TEST(Units, LanguageTexts) {
  const struct {
    const char16_t* text;
    int lang;  // 0: refused
  } cases[] = {{u"de-DE", kDe}, {u"DE_de", kDe}, {u"0x0407", kDe}, {u"1031", kDe},
               {u"0x00030407", 0x30407}, {u"x-1234", 0x1234}, {u"0", 0}, {u"0x1000000", 0},
               {u"12abc", 0}, {u"xx-YY", 0}, {u"", 0}};
  for (const auto& c : cases) {
    int lang = 0;
    EXPECT_EQ(ParseLangText(c.text, lang), c.lang != 0) << CString(c.text).ToUtf8();
    if (c.lang != 0) EXPECT_EQ(lang, c.lang);
  }
  EXPECT_EQ(LangCultureName(0x30407), u"de-DE");  // the brand is not in the name
  EXPECT_EQ(ProjectLang(*Project(), 0x0011), kJa);  // neutral: the one Japanese selected
}

TEST(Formats, EveryCharacterComesBack) {
  const char16_t* texts[] = {
      u"a\u0001b\u001F\u007F", u"cr\r\nlf\ttab", u"\\n is not a line feed \\\\", u"<x id=\"1\"/> &amp;",
      u"  spaced  ", u" ", u"\"quoted\" 'single'", u"\U0001F600 \u00e4\u4e2d", u"lone \xD800 \xDC00",
      u"\uFFFE\uFFFF\u0008\u000B\u000C\u0007", u"]]> %s %d"};
  for (const ExchangeFormat format : kFormats) {
    CResItem root;
    CPrjConfig::SetPrjLangs(root, [] { CPrjLangs l(kEn); l.setSelectedLangs({kDe}); return l; }());
    for (const char16_t* text : texts) Add(root, 6, text, text, (CString(u"T:") + text).GetString());
    const CExchangeDoc doc = Read(Export(root, format));
    ASSERT_EQ(doc.units.size(), std::size(texts)) << static_cast<int>(format);
    EXPECT_EQ(std::pair(doc.sourceLang, doc.targetLang), std::pair(kEn, kDe));
    const auto units = CollectUnits(root, CUnitLangs{kEn, kDe});
    for (size_t i = 0; i < units.size(); ++i) {
      EXPECT_EQ(CString(doc.units[i].id), units[i].id) << static_cast<int>(format) << " " << i;
      EXPECT_EQ(CString(doc.units[i].source), units[i].source) << static_cast<int>(format) << i;
      EXPECT_EQ(CString(doc.units[i].target), units[i].target) << static_cast<int>(format) << i;
    }
  }
}

TEST(Formats, BrandAndUntranslatedOnly) {
  auto root = Project();
  for (const ExchangeFormat format : kFormats) {
    const std::string text = Export(*root, format, 0x30407, true);
    const CExchangeDoc doc = Read(text);
    EXPECT_EQ(doc.targetLang, 0x30407);
    EXPECT_EQ(doc.units.size(), 4u);  // no unit has a text in the branded language
    EXPECT_EQ(Read(Export(*root, format, kDe, true)).units.size(), 1u);
    EXPECT_EQ(Export(*root, format), Export(*root, format));  // the same bytes each time
  }
}

TEST(Import, CountsAndChanges) {
  auto root = Project();
  CExchangeDoc doc = Read(Export(*root, ExchangeFormat::kPo));
  doc.units[0].target = u"Über";         // applied: changed
  doc.units[2].target = u"&Abbrechen";   // applied: created
  doc.units[1].source = u"Okay";         // stale
  doc.units[1].target = u"Gut";
  doc.units[3].target = u"";             // empty
  doc.units.push_back(CExchangeUnit{u"#9:@gone", u"x", u"y"});  // unknown
  ImportCounts counts;
  CString error;
  ASSERT_TRUE(ImportDocument(*root, doc, counts, error)) << error.ToUtf8();
  EXPECT_EQ(counts.applied, 2u);
  EXPECT_EQ(counts.unchanged, 0u);
  EXPECT_EQ(counts.stale, 1u);
  EXPECT_EQ(counts.unknown, 1u);
  EXPECT_EQ(counts.empty, 1u);
  EXPECT_EQ(counts.staleIds, std::vector<CString>{u"#2:@app.exe/#5:#101/#6:#1"});
  EXPECT_EQ(counts.unknownIds, std::vector<CString>{u"#9:@gone"});
  const auto units = CollectUnits(*root, CUnitLangs{kEn, kDe});
  EXPECT_EQ(units[0].target, u"Über");
  EXPECT_EQ(units[1].target, u"OK");
  EXPECT_EQ(units[2].target, u"&Abbrechen");
  EXPECT_EQ(units[3].target, u"Speichern?");
  doc.targetLang = 0x0007;  // neutral German: the project's German
  ASSERT_TRUE(ImportDocument(*root, doc, counts, error));
  EXPECT_EQ(std::pair(counts.applied, counts.unchanged), std::pair(size_t{0}, size_t{2}));
}

TEST(Import, RefusedDocumentsChangeNothing) {
  auto root = Project();
  const std::string po = Export(*root, ExchangeFormat::kPo);
  const std::string xlf = Export(*root, ExchangeFormat::kXliff12);
  const std::string xlf2 = Export(*root, ExchangeFormat::kXliff20);
  auto replace = [](std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  const std::string dupPo = po + "\nmsgctxt \"#2:@res.dll/#7:#300\"\nmsgid \"a\"\nmsgstr \"b\"\n";
  const std::string reads[] = {
      xlf.substr(0, xlf.size() / 2),                                     // cut short
      replace(xlf, "<xliff", "<!DOCTYPE x [<!ENTITY e \"t\">]><xliff"),  // entities
      replace(xlf, "About", "Ab\xC3\x28ut"),                             // invalid UTF-8
      replace(xlf, "About", "\xED\xA0\x80"),                             // encoded surrogate
      replace(xlf, "<source>About", "<source><bpt id=\"1\">x</bpt>About"),  // foreign code
      replace(xlf, "\"0x00000407\"", "\"zz\""),                          // unknown language
      replace(xlf2, "<source>About", "<source><cp hex=\"110000\"/>"),   // beyond Unicode
      replace(po, "msgid \"OK\"", "msgid \"OK\\q\""),                    // unknown escape
      replace(po, "msgid \"OK\"", "msgid \"OK"),                         // unclosed string
      replace(po, "charset=UTF-8", "charset=ISO-8859-1"),                // other charset
      "msgid \"x\"\nmsgstr \"y\"\n",                                     // no header
  };
  for (size_t i = 0; i < std::size(reads); ++i) {
    CExchangeDoc doc;
    CString error;
    EXPECT_FALSE(ReadExchangeDoc(reads[i].data(), reads[i].size(), doc, error)) << i;
    EXPECT_FALSE(error.IsEmpty()) << i;
  }
  // Readable, but the project does not translate into French; or an id
  // comes twice.
  CExchangeDoc doc = Read(Export(*root, ExchangeFormat::kPo, 0x040C));
  doc.units[0].target = u"A propos";
  ImportCounts counts;
  CString error;
  EXPECT_FALSE(ImportDocument(*root, doc, counts, error));
  CExchangeDoc twice = Read(dupPo);
  twice.units[0].target = u"changed";
  EXPECT_FALSE(ImportDocument(*root, twice, counts, error));
  EXPECT_NE(error.Find(u"twice"), -1);
  EXPECT_EQ(Export(*root, ExchangeFormat::kPo), po);
}

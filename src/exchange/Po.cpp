// PO files as GNU gettext reads them, written and read by our own small code
// (the gettext library is GPL). One entry per unit, its id in msgctxt; texts
// in C escapes, so every character survives. An unpaired surrogate, which
// UTF-8 cannot carry, is written as \uHHHH, which only this reader takes.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "exchange/Formats.h"

namespace Exchange {

namespace {

void Quoted(std::string& out, std::u16string_view text) {
  out += '"';
  size_t start = 0;
  auto plain = [&out](std::u16string_view part) {
    AppendUtf8(out, part, [](std::string& o, char16_t c) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
      o += code;
    });
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 && c != u'"' && c != u'\\' && c != 0x7F) continue;
    plain(text.substr(start, i - start));
    start = i + 1;
    switch (c) {
      case u'"': out += "\\\""; break;
      case u'\\': out += "\\\\"; break;
      case u'\n': out += "\\n"; break;
      case u'\t': out += "\\t"; break;
      case u'\r': out += "\\r"; break;
      case 0x07: out += "\\a"; break;
      case 0x08: out += "\\b"; break;
      case 0x0B: out += "\\v"; break;
      case 0x0C: out += "\\f"; break;
      default: {
        char code[8];
        std::snprintf(code, sizeof code, "\\%03o", static_cast<unsigned>(c));
        out += code;
      }
    }
  }
  plain(text.substr(start));
  out += "\"\n";
}

void Comment(std::string& out, const char* mark, std::u16string_view text) {
  // One comment line per line of the text; other controls would break it.
  // Runs of ordinary characters go to AppendUtf8 whole.
  auto bad = [](std::string& o, char16_t) { o += "\xEF\xBF\xBD"; };
  out += mark;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 && c != 0x7F) continue;
    AppendUtf8(out, text.substr(start, i - start), bad);
    start = i + 1;
    if (c == u'\n') {
      out += '\n';
      out += mark;
    } else {
      out += ' ';
    }
  }
  AppendUtf8(out, text.substr(start), bad);
  out += '\n';
}

}  // namespace

bool WritePo(CResItem& root, const ExportOptions& options, DocBuffer& out, size_t& units) {
  std::string& text = out.Text();
  std::string language = CultureText(options.langs.target);
  for (char& c : language) c = c == '-' ? '_' : c;
  text +=
      "msgid \"\"\n"
      "msgstr \"\"\n"
      "\"Project-Id-Version: itemlib project\\n\"\n"
      "\"PO-Revision-Date: 2000-01-01 00:00+0000\\n\"\n"
      "\"Last-Translator: itemlib\\n\"\n"
      "\"Language-Team: none\\n\"\n"
      "\"Language: " + language + "\\n\"\n"
      "\"MIME-Version: 1.0\\n\"\n"
      "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
      "\"Content-Transfer-Encoding: 8bit\\n\"\n"
      "\"X-Itemlib-Source-Language: " + CultureText(options.langs.source) + "\\n\"\n"
      "\"X-Itemlib-Source-Lang-Value: " + LangValueText(options.langs.source) + "\\n\"\n"
      "\"X-Itemlib-Target-Lang-Value: " + LangValueText(options.langs.target) + "\\n\"\n";
  bool ok = true;
  ForEachUnit(root, options.langs, [&](const CUnit& unit) {
    if (options.untranslatedOnly && unit.HasTarget()) return true;
    ++units;
    text += '\n';
    if (!unit.note.IsEmpty()) Comment(text, "#. ", unit.note.view());
    Comment(text, "#: ", unit.fileId);
    text += "msgctxt ";
    Quoted(text, unit.id);
    text += "msgid ";
    Quoted(text, unit.source);
    text += "msgstr ";
    Quoted(text, unit.target);
    ok = out.Spill();
    return ok;
  });
  return ok;
}

namespace {

// A line-by-line reader of PO entries.
class PoReader {
 public:
  PoReader(const char* data, size_t size, CString& error)
      : p_(data), end_(data + size), error_(error) {}

  bool Read(CExchangeDoc& doc) {
    if (end_ - p_ >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) p_ += 3;
    Entry entry;
    std::u16string* open = nullptr;  // the string continuation lines extend
    while (p_ < end_) {
      ++line_;
      const char* eol = static_cast<const char*>(std::memchr(p_, '\n', static_cast<size_t>(end_ - p_)));
      std::string_view text(p_, static_cast<size_t>((eol ? eol : end_) - p_));
      p_ = eol ? eol + 1 : end_;
      if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
      if (text.empty() || text[0] == '#') {
        // Obsolete entries ("#~") and comments carry nothing we read.
        continue;
      }
      if (text[0] == '"') {
        if (open == nullptr) return Fail("a string without a keyword");
        if (!String(text, *open)) return false;
        continue;
      }
      const size_t space = text.find_first_of(" \t");
      const std::string_view keyword = text.substr(0, space);
      std::string_view rest = space == std::string_view::npos ? std::string_view() : text.substr(space);
      while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
      // A new entry begins: the previous one is complete.
      if ((keyword == "msgctxt" || keyword == "msgid") && entry.hasStr && !Finish(entry, doc)) {
        return false;
      }
      if (keyword == "msgctxt") {
        if (entry.hasCtxt || entry.hasId) return Fail("msgctxt out of place");
        entry.hasCtxt = true;
        open = &entry.ctxt;
      } else if (keyword == "msgid") {
        if (entry.hasId) return Fail("msgid out of place");
        entry.hasId = true;
        open = &entry.id;
      } else if (keyword == "msgid_plural") {
        if (!entry.hasId || entry.hasStr) return Fail("msgid_plural out of place");
        entry.plural = true;
        open = &entry.scratch;
      } else if (keyword == "msgstr" || keyword.compare(0, 7, "msgstr[") == 0) {
        if (!entry.hasId) return Fail("msgstr without msgid");
        if (keyword == "msgstr" && (entry.hasStr || entry.plural)) return Fail("msgstr out of place");
        // Plural forms: the first one stands for the unit (we never write them).
        open = entry.hasStr ? &entry.scratch : &entry.str;
        entry.hasStr = true;
      } else {
        return Fail("an unknown keyword");
      }
      open->clear();
      if (!String(rest, *open)) return false;
    }
    if (entry.hasId || entry.hasCtxt) {
      if (!entry.hasStr) return Fail("an entry without msgstr");
      if (!Finish(entry, doc)) return false;
    }
    if (!sawHeader_) return Fail("no header entry");
    return true;
  }

 private:
  struct Entry {
    bool hasCtxt = false, hasId = false, hasStr = false, plural = false;
    std::u16string ctxt, id, str, scratch;
  };

  bool Fail(const char* reason) {
    char where[32];
    std::snprintf(where, sizeof where, " (line %zu)", line_);
    error_ = CString::FromUtf8(std::string(reason) + where);
    return false;
  }

  bool Finish(Entry& entry, CExchangeDoc& doc) {
    if (!entry.hasCtxt && entry.id.empty()) {
      if (sawHeader_) return Fail("a second header entry");
      sawHeader_ = true;
      if (!Header(entry.str, doc)) return false;
    } else {
      doc.units.push_back(
          CExchangeUnit{doc.Keep(entry.ctxt), doc.Keep(entry.id), doc.Keep(entry.str)});
    }
    entry.hasCtxt = entry.hasId = entry.hasStr = entry.plural = false;
    entry.ctxt.clear();  // the buffers stay for the next entry
    entry.id.clear();
    entry.str.clear();
    return true;
  }

  // Header fields we read: the charset must be UTF-8; languages from our
  // fields, else from "Language".
  bool Header(const std::u16string& header, CExchangeDoc& doc) {
    int culture = 0;
    size_t start = 0;
    while (start < header.size()) {
      size_t end = header.find(u'\n', start);
      if (end == std::u16string::npos) end = header.size();
      const CString line(std::u16string_view(header).substr(start, end - start));
      start = end + 1;
      const int colon = line.Find(u':');
      if (colon < 0) continue;
      CString name = line.Left(colon);
      CString value = line.Mid(colon + 1);
      name.Trim();
      value.Trim();
      int* target = nullptr;
      if (name.CompareNoCase(u"Content-Type") == 0) {
        CString lower = value;
        lower.MakeLower();
        lower.Remove(u' ');
        if (lower.Find(u"charset=") >= 0 && lower.Find(u"charset=utf-8") < 0) {
          return Fail("a charset other than UTF-8");
        }
      } else if (name == u"Language") {
        target = &culture;
      } else if (name == u"X-Itemlib-Source-Language" && doc.sourceLang == 0) {
        target = &doc.sourceLang;
      } else if (name == u"X-Itemlib-Source-Lang-Value") {
        target = &doc.sourceLang;
      } else if (name == u"X-Itemlib-Target-Lang-Value") {
        target = &doc.targetLang;
      }
      if (target != nullptr && !value.IsEmpty() && !ParseLangText(value, *target)) {
        return Fail("an unknown language in the header");
      }
    }
    if (doc.targetLang == 0) doc.targetLang = culture;
    return true;
  }

  // One quoted string, escapes decoded, appended to `out`.
  bool String(std::string_view text, std::u16string& out) {
    if (text.size() < 2 || text.front() != '"') return Fail("a string that is not quoted");
    size_t i = 1;
    size_t run = 1;  // start of the plain bytes not yet decoded
    auto flush = [&](size_t until) {
      return AppendUtf16(out, text.substr(run, until - run)) || Fail("invalid UTF-8");
    };
    for (;; ++i) {
      if (i >= text.size()) return Fail("a string without its closing quote");
      const char c = text[i];
      if (c == '"') break;
      if (c != '\\') continue;
      if (!flush(i)) return false;
      if (++i >= text.size()) return Fail("a string without its closing quote");
      const char e = text[i];
      static const char kFrom[] = "ntrabvf\\\"'?";
      static const char kTo[] = "\n\t\r\a\b\v\f\\\"'?";
      if (const char* hit = e != '\0' ? std::strchr(kFrom, e) : nullptr) {
        out += static_cast<char16_t>(kTo[hit - kFrom]);
      } else if (e >= '0' && e <= '7') {
        unsigned value = 0;
        size_t k = 0;
        for (; k < 3 && i + k < text.size() && text[i + k] >= '0' && text[i + k] <= '7'; ++k) {
          value = value * 8 + static_cast<unsigned>(text[i + k] - '0');
        }
        if (value >= 0x80) return Fail("an escaped byte beyond ASCII");
        out += static_cast<char16_t>(value);
        i += k - 1;
      } else if (e == 'x' || e == 'u') {
        const size_t digits = e == 'x' ? 2 : 4;
        unsigned value = 0;
        size_t k = 1;
        for (; k <= digits && i + k < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + k])); ++k) {
          const char h = text[i + k];
          value = value * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
        }
        if (k == 1 || (e == 'u' && k != 5)) return Fail("a bad hex escape");
        if (e == 'x' && value >= 0x80) return Fail("an escaped byte beyond ASCII");
        out += static_cast<char16_t>(value);
        i += k - 1;
      } else {
        return Fail("an unknown escape");
      }
      run = i + 1;
    }
    if (!flush(i)) return false;
    for (size_t k = i + 1; k < text.size(); ++k) {
      if (text[k] != ' ' && text[k] != '\t') return Fail("text after a closing quote");
    }
    return true;
  }

  const char* p_;
  const char* end_;
  CString& error_;
  size_t line_ = 0;
  bool sawHeader_ = false;
};

}  // namespace

bool ReadPo(const char* data, size_t size, CExchangeDoc& doc, CString& error) {
  doc.format = ExchangeFormat::kPo;
  return PoReader(data, size, error).Read(doc);
}

}  // namespace Exchange

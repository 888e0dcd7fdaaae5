// XLIFF 1.2 and 2.0: written by hand for speed and exact bytes, read with
// pugixml. Characters XML 1.0 cannot carry travel as inline codes: <cp/> in
// 2.0, <x ctype="x-char-HHHH"/> in 1.2; a carriage return as &#13; so that
// no parser folds it into a line feed.
#include <pugixml.hpp>
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "exchange/Formats.h"

namespace Exchange {

namespace {

constexpr char kXliff12Namespace[] = "urn:oasis:names:tc:xliff:document:1.2";
constexpr char kXliff20Namespace[] = "urn:oasis:names:tc:xliff:document:2.0";

bool XmlChar(char16_t c) {
  return c >= 0x20 ? (c != 0xFFFE && c != 0xFFFF) : (c == 0x09 || c == 0x0A || c == 0x0D);
}

// Text content with markup escaped and invalid characters as inline codes.
class TextWriter {
 public:
  explicit TextWriter(bool xliff2) : xliff2_(xliff2) {}

  void Content(std::string& out, std::u16string_view text) {
    codes_ = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c > u'>' && c < 0xD800) continue;  // the common case: nothing to do
      const char* entity = nullptr;
      switch (c) {
        case u'&': entity = "&amp;"; break;
        case u'<': entity = "&lt;"; break;
        case u'>': entity = "&gt;"; break;
        case u'\r': entity = "&#13;"; break;
        default:
          if (XmlChar(c) && !(c >= 0xD800 && c <= 0xDFFF)) continue;
          if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
              text[i + 1] <= 0xDFFF) {
            ++i;
            continue;
          }
      }
      Plain(out, text.substr(start, i - start));
      if (entity != nullptr) {
        out += entity;
      } else {
        Code(out, c);
      }
      start = i + 1;
    }
    Plain(out, text.substr(start));
  }

 private:
  static void Plain(std::string& out, std::u16string_view text) {
    AppendUtf8(out, text, [](std::string&, char16_t) {});
  }
  void Code(std::string& out, char16_t c) {
    char code[64];
    if (xliff2_) {
      std::snprintf(code, sizeof code, "<cp hex=\"%04X\"/>", static_cast<unsigned>(c));
    } else {
      std::snprintf(code, sizeof code, "<x id=\"%u\" ctype=\"x-char-%04X\"/>", ++codes_,
                    static_cast<unsigned>(c));
    }
    out += code;
  }

  bool xliff2_;
  unsigned codes_ = 0;
};

// An attribute value: ids and names are printable already; notes and file
// names lose characters XML cannot carry (they are never read back).
void Attribute(std::string& out, std::u16string_view text) {
  auto bad = [](std::string& o, char16_t) { o += "\xEF\xBF\xBD"; };
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c > u'>' && c < 0xFFFE) continue;  // surrogates: AppendUtf8 pairs them or calls `bad`
    const char* entity = nullptr;
    switch (c) {
      case u'&': entity = "&amp;"; break;
      case u'<': entity = "&lt;"; break;
      case u'>': entity = "&gt;"; break;
      case u'"': entity = "&quot;"; break;
      case u'\t': entity = "&#9;"; break;
      case u'\n': entity = "&#10;"; break;
      case u'\r': entity = "&#13;"; break;
      default:
        if (XmlChar(c)) continue;
        entity = "\xEF\xBF\xBD";
    }
    AppendUtf8(out, text.substr(start, i - start), bad);
    out += entity;
    start = i + 1;
  }
  AppendUtf8(out, text.substr(start), bad);
}

// A unit or file id as an NMTOKEN (XLIFF 2.0): letters, digits, ".", "-"
// and ":" stay, every other unit becomes "_" and four hex digits.
void Nmtoken(std::string& out, std::u16string_view id) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (const char16_t c : id) {
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
        c == u'.' || c == u'-' || c == u':') {
      out += static_cast<char>(c);
    } else {
      out += '_';
      for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(c >> shift) & 0xF];
    }
  }
}

bool FromNmtoken(std::string_view token, std::u16string& id) {
  for (size_t i = 0; i < token.size(); ++i) {
    if (token[i] != '_') {
      if (static_cast<unsigned char>(token[i]) >= 0x80) return false;
      id += static_cast<char16_t>(token[i]);
      continue;
    }
    if (token.size() - i < 5) return false;
    unsigned value = 0;
    for (size_t k = 1; k <= 4; ++k) {
      const char c = token[i + k];
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) return false;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    id += static_cast<char16_t>(value);
    i += 4;
  }
  return true;
}

void LangAttributes(std::string& out, const char* culture, const char* value, int lang) {
  out += ' ';
  out += culture;
  out += "=\"";
  out += CultureText(lang);
  out += "\" il:";
  out += value;
  out += "=\"";
  out += LangValueText(lang);
  out += '"';
}

}  // namespace

bool WriteXliff(CResItem& root, const ExportOptions& options, DocBuffer& out, size_t& units) {
  const bool v2 = options.format == ExchangeFormat::kXliff20;
  std::string& text = out.Text();
  text += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  if (v2) {
    text += "<xliff xmlns=\"";
    text += kXliff20Namespace;
    text += "\" xmlns:il=\"";
    text += kExtensionNamespace;
    text += "\" version=\"2.0\"";
    LangAttributes(text, "srcLang", "srcLangValue", options.langs.source);
    LangAttributes(text, "trgLang", "trgLangValue", options.langs.target);
    text += ">\n";
  } else {
    text += "<xliff xmlns=\"";
    text += kXliff12Namespace;
    text += "\" xmlns:il=\"";
    text += kExtensionNamespace;
    text += "\" version=\"1.2\">\n";
  }
  TextWriter writer(v2);
  const CResItem* file = nullptr;
  bool ok = true;
  auto closeFile = [&] {
    if (file != nullptr) text += v2 ? "</file>\n" : "</body>\n</file>\n";
  };
  ForEachUnit(root, options.langs, [&](const CUnit& unit) {
    if (options.untranslatedOnly && unit.HasTarget()) return true;
    if (unit.file != file) {
      closeFile();
      file = unit.file;
      if (v2) {
        text += "<file id=\"";
        Nmtoken(text, unit.fileId);
        text += "\" original=\"";
        Attribute(text, unit.fileId);
        text += "\">\n";
      } else {
        text += "<file original=\"";
        Attribute(text, unit.fileId);
        text += "\" datatype=\"x-itemlib\"";
        LangAttributes(text, "source-language", "source-lang-value", options.langs.source);
        LangAttributes(text, "target-language", "target-lang-value", options.langs.target);
        text += ">\n<body>\n";
      }
    }
    ++units;
    if (v2) {
      text += "<unit id=\"";
      Nmtoken(text, unit.id);
      text += "\" name=\"";
      Attribute(text, unit.id);
      text += "\" xml:space=\"preserve\">\n";
      if (!unit.note.IsEmpty()) {
        text += "<notes><note>";
        writer.Content(text, unit.note.view());
        text += "</note></notes>\n";
      }
      text += unit.HasTarget() ? "<segment state=\"translated\">\n<source>"
                               : "<segment state=\"initial\">\n<source>";
      writer.Content(text, unit.source);
      text += "</source>\n";
      if (unit.HasTarget()) {
        text += "<target>";
        writer.Content(text, unit.target);
        text += "</target>\n";
      }
      text += "</segment>\n</unit>\n";
    } else {
      text += "<trans-unit id=\"";
      Attribute(text, unit.id);
      // Tools read a unit without approval as unfinished (fuzzy).
      text += unit.HasTarget() ? "\" approved=\"yes\" xml:space=\"preserve\">\n<source>"
                               : "\" xml:space=\"preserve\">\n<source>";
      writer.Content(text, unit.source);
      if (unit.HasTarget()) {
        text += "</source>\n<target state=\"translated\">";
        writer.Content(text, unit.target);
        text += "</target>\n";
      } else {
        text += "</source>\n<target state=\"needs-translation\"></target>\n";
      }
      if (!unit.note.IsEmpty()) {
        text += "<note>";
        writer.Content(text, unit.note.view());
        text += "</note>\n";
      }
      text += "</trans-unit>\n";
    }
    ok = out.Spill();
    return ok;
  });
  closeFile();
  text += "</xliff>\n";
  return ok;
}

namespace {

// What reading one document needs: the error, and the prefix our extension
// namespace has.
struct XliffReader {
  explicit XliffReader(CString& e) : error(e) {}
  CString& error;
  bool v2 = false;
  std::string extPrefix;  // "il:" or whatever the document binds
  std::u16string id_, source_, target_;  // one unit's texts, reused

  bool Fail(const char16_t* reason) {
    error = reason;
    return false;
  }
  bool Fail(const char16_t* reason, const CString& detail) {
    error = CString(reason) + detail;
    return false;
  }

  bool Utf16(const char* utf8, std::u16string& out) {
    return AppendUtf16(out, std::string_view(utf8)) || Fail(u"invalid UTF-8 in the document");
  }

  // The text of a <source> or <target>, inline codes decoded.
  bool Text(const pugi::xml_node& element, std::u16string& out, int depth = 0) {
    if (depth > 32) return Fail(u"inline elements nest too deeply");
    for (const pugi::xml_node& child : element.children()) {
      switch (child.type()) {
        case pugi::node_pcdata:
        case pugi::node_cdata:
          if (!Utf16(child.value(), out)) return false;
          break;
        case pugi::node_element:
          if (!Inline(child, out, depth)) return false;
          break;
        default:
          break;  // comments and processing instructions carry no text
      }
    }
    return true;
  }

  bool Inline(const pugi::xml_node& code, std::u16string& out, int depth) {
    const char* name = code.name();
    unsigned long value = 0;
    char* end = nullptr;
    if (v2 && std::strcmp(name, "cp") == 0) {
      const char* hex = code.attribute("hex").value();
      value = std::strtoul(hex, &end, 16);
      if (*hex == '\0' || *end != '\0' || std::strlen(hex) > 6) {
        return Fail(u"a <cp> element without a valid hex value");
      }
    } else if (!v2 && std::strcmp(name, "x") == 0) {
      const char* ctype = code.attribute("ctype").value();
      if (std::strncmp(ctype, "x-char-", 7) != 0 || std::strlen(ctype) > 13) {
        return Fail(u"an <x> element that is not one of our character codes");
      }
      value = std::strtoul(ctype + 7, &end, 16);
      if (ctype[7] == '\0' || *end != '\0') return Fail(u"an <x> element with a bad ctype");
    } else if ((v2 && (std::strcmp(name, "mrk") == 0 || std::strcmp(name, "pc") == 0)) ||
               (!v2 && (std::strcmp(name, "mrk") == 0 || std::strcmp(name, "g") == 0))) {
      return Text(code, out, depth + 1);  // markers and paired codes: their text counts
    } else {
      return Fail(u"an inline element the project cannot hold: ", CString::FromUtf8(name));
    }
    if (value > 0x10FFFF) return Fail(u"a character code beyond U+10FFFF");
    if (value >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(value);
    }
    return true;
  }

  // A language from the culture attribute, or our value attribute when the
  // document has it (it keeps the brand).
  bool Lang(const pugi::xml_node& element, const char* culture, const char* valueName,
            int& lang) {
    const std::string ext = extPrefix + valueName;
    const pugi::xml_attribute value = element.attribute(ext.c_str());
    const pugi::xml_attribute name = element.attribute(culture);
    const char* text = !extPrefix.empty() && value ? value.value() : name.value();
    if (*text == '\0') return true;
    int parsed = 0;
    if (!ParseLangText(CString::FromUtf8(text), parsed)) {
      return Fail(u"an unknown language: ", CString::FromUtf8(text));
    }
    if (lang != 0 && lang != parsed) return Fail(u"files of different languages");
    lang = parsed;
    return true;
  }

  bool Unit(const pugi::xml_node& unit, CExchangeDoc& doc) {
    id_.clear();
    source_.clear();
    target_.clear();
    const char* idText = unit.attribute("id").value();
    if (*idText == '\0') return Fail(u"a unit without an id");
    if (v2 ? !FromNmtoken(idText, id_) : !Utf16(idText, id_)) {
      return Fail(u"a unit id that is not valid");
    }
    if (v2) {
      // Segments and ignorables in order make the text.
      for (const pugi::xml_node& part : unit.children()) {
        if (std::strcmp(part.name(), "segment") != 0 && std::strcmp(part.name(), "ignorable") != 0) {
          continue;
        }
        if (!Text(part.child("source"), source_) || !Text(part.child("target"), target_)) {
          return false;
        }
      }
    } else {
      // The first <source> and <target>, found in one pass over the children.
      pugi::xml_node source;
      pugi::xml_node target;
      for (const pugi::xml_node& part : unit.children()) {
        if (part.type() != pugi::node_element) continue;
        if (!source && std::strcmp(part.name(), "source") == 0) source = part;
        if (!target && std::strcmp(part.name(), "target") == 0) target = part;
      }
      if (!Text(source, source_) || !Text(target, target_)) return false;
    }
    doc.units.push_back(CExchangeUnit{doc.Keep(id_), doc.Keep(source_), doc.Keep(target_)});
    return true;
  }

  // The number of units Units finds, so that the list is allocated once.
  size_t Count(const pugi::xml_node& parent, int depth = 0) const {
    size_t count = 0;
    const char* unitName = v2 ? "unit" : "trans-unit";
    for (const pugi::xml_node& child : parent.children()) {
      if (child.type() != pugi::node_element) continue;
      if (std::strcmp(child.name(), unitName) == 0) {
        ++count;
      } else if (depth < 64 && std::strcmp(child.name(), "group") == 0) {
        count += Count(child, depth + 1);
      }
    }
    return count;
  }

  // Units, also inside groups (other tools write those).
  bool Units(const pugi::xml_node& parent, CExchangeDoc& doc, int depth = 0) {
    if (depth > 64) return Fail(u"groups nest too deeply");
    const char* unitName = v2 ? "unit" : "trans-unit";
    for (const pugi::xml_node& child : parent.children()) {
      if (child.type() != pugi::node_element) continue;
      if (std::strcmp(child.name(), unitName) == 0) {
        if (!Unit(child, doc)) return false;
      } else if (std::strcmp(child.name(), "group") == 0) {
        if (!Units(child, doc, depth + 1)) return false;
      }
    }
    return true;
  }
};

}  // namespace

bool ReadXliff(const char* data, size_t size, CExchangeDoc& doc, CString& error) {
  XliffReader reader(error);
  pugi::xml_document xml;
  // No DOCTYPE is allowed: pugixml never expands entities, and a document
  // that declares some would lose them silently.
  const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype |
                           pugi::parse_declaration;
  const pugi::xml_parse_result parsed = xml.load_buffer(data, size, options, pugi::encoding_utf8);
  if (!parsed) {
    char where[32];
    std::snprintf(where, sizeof where, " at byte %lld", static_cast<long long>(parsed.offset));
    return reader.Fail(u"not well-formed XML: ",
                       CString::FromUtf8(parsed.description()) + CString::FromUtf8(where));
  }
  for (const pugi::xml_node& node : xml.children()) {
    if (node.type() == pugi::node_doctype) return reader.Fail(u"a DOCTYPE is not allowed");
    if (node.type() == pugi::node_declaration) {
      const char* encoding = node.attribute("encoding").value();
      if (*encoding != '\0' && strcasecmp(encoding, "UTF-8") != 0) {
        return reader.Fail(u"an encoding other than UTF-8");
      }
    }
  }
  const pugi::xml_node root = xml.document_element();
  if (std::strcmp(root.name(), "xliff") != 0) return reader.Fail(u"not an XLIFF document");
  const std::string ns = root.attribute("xmlns").value();
  if (ns == kXliff20Namespace) {
    reader.v2 = true;
  } else if (ns != kXliff12Namespace) {
    return reader.Fail(u"not an XLIFF 1.2 or 2.0 document");
  }
  for (const pugi::xml_attribute& a : root.attributes()) {
    const std::string name = a.name();
    if (name.compare(0, 6, "xmlns:") == 0 && std::strcmp(a.value(), kExtensionNamespace) == 0) {
      reader.extPrefix = name.substr(6) + ":";
    }
  }
  doc.format = reader.v2 ? ExchangeFormat::kXliff20 : ExchangeFormat::kXliff12;
  if (reader.v2 && (!reader.Lang(root, "srcLang", "srcLangValue", doc.sourceLang) ||
                    !reader.Lang(root, "trgLang", "trgLangValue", doc.targetLang))) {
    return false;
  }
  size_t count = 0;
  for (const pugi::xml_node& file : root.children("file")) {
    count += reader.Count(reader.v2 ? file : file.child("body"));
  }
  doc.units.reserve(count);
  for (const pugi::xml_node& file : root.children("file")) {
    if (!reader.v2 &&
        (!reader.Lang(file, "source-language", "source-lang-value", doc.sourceLang) ||
         !reader.Lang(file, "target-language", "target-lang-value", doc.targetLang))) {
      return false;
    }
    if (!reader.Units(reader.v2 ? file : file.child("body"), doc)) return false;
  }
  return true;
}

}  // namespace Exchange

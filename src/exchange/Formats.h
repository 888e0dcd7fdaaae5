// The three exchange formats one by one, and the text conversions they
// share. Exchange.h chooses among them; fuzzers and tests reach each reader
// here directly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "exchange/Exchange.h"

namespace Exchange {

// Collects output and hands it to a sink in large pieces.
class DocBuffer {
 public:
  explicit DocBuffer(const ByteSink& sink) : sink_(sink) { text_.reserve(kPiece + 4096); }
  std::string& Text() { return text_; }
  // Passes the collected bytes on once there are many; false when the sink
  // refused them.
  bool Spill() { return text_.size() < kPiece || Flush(); }
  bool Flush();

 private:
  static constexpr size_t kPiece = size_t{1} << 20;
  const ByteSink& sink_;
  std::string text_;
  bool ok_ = true;
};

// UTF-8 of a UTF-16 text. An unpaired surrogate goes through `odd`
// (called with the unit), which appends its own form. This is the inner loop
// of every export: it converts into a buffer on the stack and appends that
// in pieces, so the string is never grown unit by unit nor zero-filled.
template <typename Odd>
void AppendUtf8(std::string& out, std::u16string_view text, Odd odd) {
  constexpr size_t kRoom = 256;
  char buffer[kRoom + 4];
  size_t used = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    if (used > kRoom) {
      out.append(buffer, used);
      used = 0;
    }
    const unsigned c = text[i];
    if (c < 0x80) {
      buffer[used++] = static_cast<char>(c);
    } else if (c < 0x800) {
      buffer[used++] = static_cast<char>(0xC0 | (c >> 6));
      buffer[used++] = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      const unsigned cp = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
      buffer[used++] = static_cast<char>(0xF0 | (cp >> 18));
      buffer[used++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      buffer[used++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      buffer[used++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out.append(buffer, used);
      used = 0;
      odd(out, static_cast<char16_t>(c));
    } else {
      buffer[used++] = static_cast<char>(0xE0 | (c >> 12));
      buffer[used++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      buffer[used++] = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  out.append(buffer, used);
}

// Appends the UTF-16 of strict UTF-8 (no overlong forms, no surrogates, no
// value above U+10FFFF, nothing cut short). False on any fault.
bool AppendUtf16(std::u16string& out, std::string_view utf8);

// Language values as the documents' extension attributes write them:
// "0x" and eight hex digits. Reading accepts whatever ParseLangText does.
std::string LangValueText(int lang);
std::string CultureText(int lang);  // the culture name as UTF-8

// Each writer writes the units of `root` as its format does; see
// ExportDocument.
bool WriteXliff(CResItem& root, const ExportOptions& options, DocBuffer& out, size_t& units);
bool WritePo(CResItem& root, const ExportOptions& options, DocBuffer& out, size_t& units);

// Each reader reads a whole document of its kind; see ReadExchangeDoc.
// ReadXliff takes version 1.2 and 2.0.
bool ReadXliff(const char* data, size_t size, CExchangeDoc& doc, CString& error);
bool ReadPo(const char* data, size_t size, CExchangeDoc& doc, CString& error);

// The namespace of our extension attributes in XLIFF.
constexpr char kExtensionNamespace[] = "urn:itemlib:exchange:1";

}  // namespace Exchange

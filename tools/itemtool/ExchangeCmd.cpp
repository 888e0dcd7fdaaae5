// The exchange commands over the library's exchange subsystem: argument
// handling, files, and the report of an import.
#include "ExchangeCmd.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <ostream>
#include <vector>

#include "Dump.h"
#include "Project.h"
#include "config/PrjConfig.h"
#include "exchange/Exchange.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "serial/SerialFile.h"

namespace itemtool {

namespace {

int Usage(std::ostream& err, const std::string& message) {
  err << "itemtool: " << message << '\n';
  return kExitUnreadable;
}

std::string Utf8(const CString& text) { return text.ToUtf8(); }

// JSON string of UTF-8 text that our own code made (ids are printable).
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
      out += code;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

int ExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  std::string lang, source, output, format;
  ExportOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool valued = a == "--lang" || a == "--source" || a == "-o" || a == "--format";
    if (valued && i + 1 == args.size()) return Usage(err, a + " needs a value");
    if (a == "--lang") {
      lang = args[++i];
    } else if (a == "--source") {
      source = args[++i];
    } else if (a == "-o") {
      output = args[++i];
    } else if (a == "--format") {
      format = args[++i];
    } else if (a == "--untranslated") {
      options.untranslatedOnly = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(err, "unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 1 || lang.empty() || output.empty()) {
    return Usage(err, "export takes PROJECT, --lang LANG and -o FILE");
  }
  if (!format.empty() ? !ParseFormatName(format, options.format)
                      : !FormatFromPath(output, options.format)) {
    return Usage(err, format.empty() ? "cannot tell the format from " + output + ": use --format"
                                     : "unknown format " + format);
  }
  if (!ParseLangText(CString::FromUtf8(lang), options.langs.target)) {
    return Usage(err, "unknown language " + lang);
  }
  if (!source.empty() && !ParseLangText(CString::FromUtf8(source), options.langs.source)) {
    return Usage(err, "unknown language " + source);
  }
  std::unique_ptr<CResItem> root;
  if (!LoadProject(files[0], root, err)) return kExitMalformed;
  // "ja" names the project's Japanese, as in stats and check.
  options.langs.target = ProjectLang(*root, options.langs.target);
  if (source.empty()) options.langs.source = CPrjConfig::GetNative(*root);
  if (options.langs.source == CLangId::Undefined) {
    return Usage(err, files[0] + ": the project has no native language: use --source");
  }
  // Written beside the target and renamed over it only when complete, so a
  // failed export never destroys the document that stood there.
  CAtomicFile target(CString::FromUtf8(output));
  CString error;
  if (!target.Open(error)) return CannotWrite(output, error, err);
  std::FILE* file = std::fopen(ToNativePath(target.WritePath()).c_str(), "wb");
  if (file == nullptr) return CannotWrite(output, ErrnoText(errno), err);
  size_t units = 0;
  int failure = 0;
  bool ok = ExportDocument(*root, options, [file, &failure](const char* data, size_t size) {
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (!written && failure == 0) failure = errno;
    return written;
  }, &units);
  if (std::fflush(file) != 0 && failure == 0) failure = errno;
  if (std::fclose(file) != 0 && failure == 0) failure = errno;
  if (!ok || failure != 0) {
    return CannotWrite(output, failure != 0 ? ErrnoText(failure) : CString(u"export failed"),
                       err);
  }
  if (!target.Commit(error)) return CannotWrite(output, error, err);
  out << units << " units\n";
  return kExitOk;
}

int ImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  std::string output;
  bool json = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o") {
      if (i + 1 == args.size()) return Usage(err, "-o needs a value");
      output = args[++i];
    } else if (a == "--json") {
      json = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(err, "unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return Usage(err, "import takes PROJECT and FILE");
  std::vector<unsigned char> bytes;
  if (!Files::ReadAll(files[1], bytes, kMaxExchangeDocBytes + 1)) {
    return Usage(err, files[1] + ": cannot read");
  }
  CExchangeDoc doc;
  CString error;
  if (!ReadExchangeDoc(reinterpret_cast<const char*>(bytes.data()), bytes.size(), doc, error)) {
    err << "itemtool: " << files[1] << ": " << Utf8(error) << '\n';
    return kExitMalformed;
  }
  bytes = std::vector<unsigned char>();
  std::unique_ptr<CResItem> root;
  if (!LoadProject(files[0], root, err)) return kExitMalformed;
  ImportCounts counts;
  if (!ImportDocument(*root, doc, counts, error)) {
    err << "itemtool: " << files[1] << ": " << Utf8(error) << '\n';
    return kExitMalformed;
  }
  // Nothing applied and the project replaced in place: the file stays as it
  // was, byte for byte.
  if (counts.applied != 0 || (!output.empty() && output != files[0])) {
    const std::string target = output.empty() ? files[0] : output;
    if (!::SaveProjectFile(CString::FromUtf8(target), *root, SaveLevelOf(files[0]), error)) {
      err << "itemtool: " << target << ": " << Utf8(error) << '\n';
      return kExitUnreadable;
    }
  }
  for (const CString& id : counts.staleIds) err << "itemtool: stale unit " << Utf8(id) << '\n';
  for (const CString& id : counts.unknownIds) err << "itemtool: unknown unit " << Utf8(id) << '\n';
  if (json) {
    out << "{\"applied\":" << counts.applied << ",\"unchanged\":" << counts.unchanged
        << ",\"stale\":" << counts.stale << ",\"unknown\":" << counts.unknown
        << ",\"empty\":" << counts.empty << ",\"staleIds\":[";
    for (size_t i = 0; i < counts.staleIds.size(); ++i) {
      out << (i ? "," : "") << JsonString(Utf8(counts.staleIds[i]));
    }
    out << "],\"unknownIds\":[";
    for (size_t i = 0; i < counts.unknownIds.size(); ++i) {
      out << (i ? "," : "") << JsonString(Utf8(counts.unknownIds[i]));
    }
    out << "]}\n";
  } else {
    out << "applied " << counts.applied << ", unchanged " << counts.unchanged << ", stale "
        << counts.stale << ", unknown " << counts.unknown << ", empty " << counts.empty << '\n';
  }
  return kExitOk;
}

}  // namespace itemtool

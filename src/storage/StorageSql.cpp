// The SQLite 2 helpers the whole project database uses: error reporting,
// one-value queries, the binary codec, column converters and text conversions.
// Handles and error strings are owned by scope objects: no path leaks or throws.
#include "storage/Storage.h"

#include <sqlite.h>
#include <unicode/ucnv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/FileSystem.h"
#include "services/Messaging.h"

namespace {

constexpr int kNoKey = CStorage::NoKey;

// The "ANSI code page" of the old Windows tool is UTF-8 on this port: query
// texts and SQLite's error texts pass through ICU's UTF-8 converter. That
// also makes keys and file names outside ASCII meet between the value writers
// (UTF-8) and the select texts (ANSI). Paths are stored (backslash) paths and
// become native through ToNativePath, like every other file name.
constexpr const char* kAnsiConverter = "UTF-8";
constexpr const char* kUtf8Converter = "UTF-8";

void Notify(const char16_t* text) { SendToMessagePanel(text, CMessagePanelMsg::ErrorReport); }

void FinalizeVm(sqlite_vm* vm) {
  char* error = nullptr;
  ProcessError(sqlite_finalize(vm, &error));
  ProcessError(error);
}

struct VmGuard {
  explicit VmGuard(sqlite_vm* v) : vm(v) {}
  ~VmGuard() {
    if (vm) FinalizeVm(vm);
  }
  VmGuard(const VmGuard&) = delete;
  VmGuard& operator=(const VmGuard&) = delete;
  sqlite_vm* vm;
};

// One cached converter per name and thread; ucnv_*Chars reset it on every call.
struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};

UConverter* Converter(const char* name) {
  thread_local std::map<std::string, std::unique_ptr<UConverter, ConverterCloser>> cache;
  auto& slot = cache[name];
  if (!slot) {
    UErrorCode status = U_ZERO_ERROR;
    slot.reset(ucnv_open(name, &status));
    if (U_FAILURE(status)) slot.reset();
  }
  return slot.get();
}

// `length` units of UTF-16 to bytes; the result has one zero byte spare.
std::string FromUtf16(const char* converter, const char16_t* text, int32_t length) {
  UConverter* cnv = Converter(converter);
  if (!cnv || length <= 0) return std::string();
  const UChar* src = reinterpret_cast<const UChar*>(text);
  UErrorCode status = U_ZERO_ERROR;
  const int32_t need = ucnv_fromUChars(cnv, nullptr, 0, src, length, &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::string();
  std::string out(static_cast<size_t>(need), '\0');
  status = U_ZERO_ERROR;
  ucnv_fromUChars(cnv, out.data(), need, src, length, &status);
  return U_FAILURE(status) ? std::string() : out;
}

std::u16string ToUtf16(const char* converter, const char* text, int32_t length) {
  UConverter* cnv = Converter(converter);
  if (!cnv || length <= 0) return std::u16string();
  UErrorCode status = U_ZERO_ERROR;
  const int32_t need = ucnv_toUChars(cnv, nullptr, 0, text, length, &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::u16string();
  std::u16string out(static_cast<size_t>(need), u'\0');
  status = U_ZERO_ERROR;
  ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()), need, text, length, &status);
  return U_FAILURE(status) ? std::u16string() : out;
}

int32_t UnitsWithTerminator(const char16_t* text) {
  return static_cast<int32_t>(std::char_traits<char16_t>::length(text)) + 1;
}

char* NewBytes(const std::string& bytes) {
  char* out = new char[bytes.size() + 1]();
  std::memcpy(out, bytes.data(), bytes.size());
  return out;
}

char16_t* NewUnits(const std::u16string& units) {
  char16_t* out = new char16_t[units.size() + 1]();
  std::memcpy(out, units.data(), units.size() * sizeof(char16_t));
  return out;
}

// Runs a one-value query and hands the first column of its first row (never
// null) to `onRow`. A query that does not compile is reported as `ioError`.
template <typename OnRow>
void QueryFirstValue(sqlite* db, const CString& sql, const char16_t* ioError, OnRow onRow) {
  const std::unique_ptr<char[]> text(UnicodeToAnsi(sql));
  sqlite_vm* vm = nullptr;
  const char* tail = nullptr;
  char* error = nullptr;
  const int rc = db ? sqlite_compile(db, text.get(), &tail, &vm, &error) : SQLITE_MISUSE;
  if (!vm) {
    // The compile error itself is not shown; the function's own message is.
    if (error) sqlite_freemem(error);
    Notify(ioError);
    return;
  }
  const VmGuard guard(vm);
  ProcessError(rc);
  ProcessError(error);
  int columns = 0;
  const char** values = nullptr;
  const char** names = nullptr;
  const int step = sqlite_step(vm, &columns, &values, &names);
  if (step == SQLITE_ROW && columns > 0) {
    onRow(values[0] ? values[0] : "");
  } else {
    ProcessError(step);
  }
}

// The decoded bytes of an encoded column; a malformed column decodes to none.
unsigned char* DecodeColumn(const char* text, unsigned int& size) {
  const size_t length = std::strlen(text);
  auto* out = new unsigned char[length + 1];
  const int decoded =
      sqlite_decode_binary(reinterpret_cast<const unsigned char*>(text), out);
  size = decoded < 0 ? 0U : static_cast<unsigned int>(decoded);
  return out;
}

}  // namespace

// ---------------------------------------------------------------- encoding

extern "C" int sqlite_encode_binary(const unsigned char* in, int n, unsigned char* out) {
  if (n <= 0) {
    out[0] = 'x';
    out[1] = 0;
    return 1;
  }
  int count[256] = {};
  for (int i = 0; i < n; ++i) ++count[in[i]];
  // The offset that leaves the fewest bytes needing an escape.
  int best = n + 1;
  int e = 1;
  for (int i = 1; i < 256; ++i) {
    if (i == '\'') continue;
    const int sum = count[i] + count[(i + 1) & 0xFF] + count[(i + '\'') & 0xFF];
    if (sum < best) {
      best = sum;
      e = i;
      if (best == 0) break;
    }
  }
  out[0] = static_cast<unsigned char>(e);
  int j = 1;
  for (int i = 0; i < n; ++i) {
    const int x = (in[i] - e) & 0xFF;
    if (x == 0 || x == 1 || x == '\'') {
      out[j++] = 1;
      out[j++] = static_cast<unsigned char>(x == '\'' ? 3 : x + 1);
    } else {
      out[j++] = static_cast<unsigned char>(x);
    }
  }
  out[j] = 0;
  return j;
}

extern "C" int sqlite_decode_binary(const unsigned char* in, unsigned char* out) {
  // An empty text has no offset byte; reading past its terminator would overrun.
  if (in[0] == 0) return 0;
  const int e = *in++;
  int i = 0;
  int c;
  while ((c = *in++) != 0) {
    if (c == 1) {
      c = *in++;
      if (c == 1) {
        c = 0;
      } else if (c == 2) {
        c = 1;
      } else if (c == 3) {
        c = '\'';
      } else {
        return -1;
      }
    }
    out[i++] = static_cast<unsigned char>((c + e) & 0xFF);
  }
  return i;
}

// ---------------------------------------------------------------- free helpers

bool ProcessError(char* errorText) {
  if (!errorText) return false;
  const std::unique_ptr<char16_t[]> text(AnsiToUnicode(errorText));
  sqlite_freemem(errorText);
  Notify(text.get());
  return true;
}

bool ProcessError(int /*resultCode*/) { return false; }

void GetIntVal(sqlite* db, const CString& sql, int& value) {
  QueryFirstValue(db, sql, u"IO error: GetIntVal",
                  [&value](const char* column) { value = std::atoi(column); });
}

void GetStrVal(sqlite* db, const CString& sql, CString& value) {
  QueryFirstValue(db, sql, u"IO error: GetStrVal", [&value](const char* column) {
    const int length = static_cast<int>(std::strlen(column)) + 1;
    const std::unique_ptr<char16_t[]> text(UTF8ToUnicode(column, length));
    value = text.get();
  });
}

unsigned char* GetBinaryVal(sqlite* db, const CString& sql, unsigned int& size) {
  unsigned char* result = nullptr;
  QueryFirstValue(db, sql, u"IO error: GetBinary",
                  [&](const char* column) { result = DecodeColumn(column, size); });
  return result;
}

int GetKey(sqlite* db, const CString& sql) {
  int key = kNoKey;
  GetIntVal(db, sql, key);
  return key;
}

bool IsSQLiteFormat(const char16_t* path) {
  static constexpr char kHeader[] = "** This file contains an SQLite 2.1 database **";
  static constexpr size_t kHeaderSize = sizeof(kHeader) - 1;  // 47
  const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(ToNativePath(path).c_str(), "rb"),
                                                    &std::fclose);
  if (!file) return false;
  char header[kHeaderSize];
  return std::fread(header, 1, kHeaderSize, file.get()) == kHeaderSize &&
         std::memcmp(header, kHeader, kHeaderSize) == 0;
}

unsigned char* EncodeBinary(const unsigned char* data, int size) {
  auto* out = new unsigned char[3 * static_cast<size_t>(size > 0 ? size : 0) + 2];
  sqlite_encode_binary(data, size, out);
  return out;
}

int LoadInt(const char* text, int defaultValue, bool /*flag*/) {
  return text && *text ? std::atoi(text) : defaultValue;
}

void LoadStr(const char* text, CString& out, const char16_t* defaultValue, bool /*flag*/) {
  if (!text || !*text) {
    out = defaultValue;
    return;
  }
  // Plain ASCII, nearly every column of a project, needs no converter.
  const char* end = text;
  while (*end && static_cast<unsigned char>(*end) < 0x80) ++end;
  if (!*end) {
    out = CString(std::u16string(text, end));
    return;
  }
  const std::unique_ptr<char16_t[]> wide(
      UTF8ToUnicode(text, static_cast<int>(std::strlen(text)) + 1));
  out = wide.get();
}

void LoadResId(const char* text, CString& out) { LoadStr(text, out, u"#"); }

unsigned char* LoadBinary(const char* text, unsigned int& size, bool /*flag*/) {
  return DecodeColumn(text, size);
}

char* UnicodeToUTF8(const char16_t* text, int* length) {
  if (!text || !*text) return new char[1]();
  const std::string bytes = FromUtf16(kUtf8Converter, text, UnitsWithTerminator(text));
  if (length) *length = static_cast<int>(bytes.size());
  return NewBytes(bytes);
}

char16_t* UTF8ToUnicode(const char* text, int length) {
  if (!text || length == 0) return new char16_t[1]();
  if (length < 0) length = static_cast<int>(std::strlen(text)) + 1;
  return NewUnits(ToUtf16(kUtf8Converter, text, length));
}

char* UnicodeToAnsi(const char16_t* text) {
  if (!text || !*text) return new char[1]();
  return NewBytes(FromUtf16(kAnsiConverter, text, UnitsWithTerminator(text)));
}

char16_t* AnsiToUnicode(const char* text) {
  if (!text || !*text) return new char16_t[1]();
  return NewUnits(ToUtf16(kAnsiConverter, text, static_cast<int32_t>(std::strlen(text)) + 1));
}

// The owners CStorage keeps its handle and queries in, here beside the
// finalizer they share with the value queries.
void CStorage::DbCloser::operator()(sqlite* db) const { sqlite_close(db); }

void CStorage::VmFinalizer::operator()(sqlite_vm* vm) const { FinalizeVm(vm); }

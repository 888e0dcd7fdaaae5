// CStorage and the SQLite 2 helpers. Every sqlite handle, virtual machine and
// error string is owned by a scope object here, so that no path through the
// loader or the value store leaks one or lets an error escape as an exception.
//
// The "ANSI code page" of the old Windows tool is UTF-8 on this port: query
// texts and SQLite's error texts pass through ICU's UTF-8 converter. That
// also makes keys and file names outside ASCII meet between the value writers
// (UTF-8) and the select texts (ANSI). Paths are stored (backslash) paths and
// become native through ToNativePath, like every other file name.
#include "storage/Storage.h"

#include <sqlite.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "items/ItemEvents.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "platform/FileSystem.h"
#include "services/Messaging.h"
#include "text/TextUtil.h"

namespace {

constexpr int kNoKey = CStorage::NoKey;
constexpr const char* kAnsiConverter = "UTF-8";
constexpr const char* kUtf8Converter = "UTF-8";

constexpr const char* kCreateResItem =
    "create table RES_ITEM    ( parent_key INT, binary_key INT, type INT, comment CHAR, "
    "res_id CHAR, tab_num INT, state INT )";
constexpr const char* kCreateTransItem =
    "create table TRANS_ITEM  ( parent_key INT, binary_key INT, type INT, comment CHAR, "
    "lang INT, status INT, string CHAR )";
constexpr const char* kCreateBinary = "create table BINARY      ( parent_key INT, num INT, data BLOB )";
constexpr const char* kCreateValStorage =
    "create table VAL_STORAGE ( val_key CHAR, file CHAR, val VARIANT )";
constexpr const char* kCreateProp =
    "create table PROP ( parent_key INT, name CHAR, type INT, binary_key INT, string CHAR, "
    "value INT, prop_type INT, type_type INT, type_str CHAR, type_int INT )";
constexpr const char* kCreateKeyIndex = "create index val_storage_key     on val_storage ( val_key    ); ";
constexpr const char* kCreateFileIndex = "create index val_storage_file    on val_storage ( file       ); ";

constexpr const char* kInsertBinary =
    "INSERT INTO binary ( parent_key, num, data )  VALUES ( %d,         %d,  %Q )";

constexpr const char* kSelectItems =
    " SELECT rowid, parent_key, binary_key, type, comment, res_id, tab_num, state FROM res_item "
    "ORDER BY rowid ";
constexpr const char* kSelectTrans =
    " SELECT rowid, parent_key, binary_key, type, comment, lang, status, string FROM trans_item "
    "ORDER BY rowid ";
constexpr const char* kSelectBinary = " SELECT rowid, parent_key, num, data FROM binary ORDER BY rowid ";
constexpr const char* kSelectItemProps =
    " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, "
    "type_int FROM prop WHERE prop_type = 1 ORDER BY rowid ";
constexpr const char* kSelectTransProps =
    " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, "
    "type_int FROM prop WHERE prop_type = 2 ORDER BY rowid ";

// Column positions shared by both property queries.
enum PropColumn { kPropParent = 1, kPropName, kPropType, kPropBinary, kPropString, kPropValue };

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

// ---------------------------------------------------------------- CStorage

void CStorage::DbCloser::operator()(sqlite* db) const { sqlite_close(db); }

void CStorage::VmFinalizer::operator()(sqlite_vm* vm) const { FinalizeVm(vm); }

CStorage::CStorage(CString path) : path_(std::move(path)) {
  char* error = nullptr;
  database_.reset(sqlite_open(ToNativePath(path_).c_str(), 0, &error));
  ProcessError(error);
  if (database_) CreatePropTable(true);
}

CStorage::~CStorage() { EndLoad(); }

CStorage::CStorage(CStorage&& other) noexcept = default;
CStorage& CStorage::operator=(CStorage&& other) noexcept = default;

void CStorage::Exec(const char* sql) {
  if (!database_) return;
  char* error = nullptr;
  sqlite_exec(database_.get(), sql, nullptr, nullptr, &error);
  ProcessError(error);
}

void CStorage::BeginTrans() { Exec("begin;"); }

void CStorage::CommitTrans() { Exec("commit;"); }

void CStorage::CreatePropTable(bool inTransaction) {
  if (!database_) return;
  if (!inTransaction) {
    Exec(kCreateProp);
    return;
  }
  BeginTrans();
  // Fails harmlessly when the table exists: that is the common case.
  char* error = nullptr;
  sqlite_exec(database_.get(), kCreateProp, nullptr, nullptr, &error);
  if (error) sqlite_freemem(error);
  CommitTrans();
}

void CStorage::CreateDb() {
  if (!database_) return;
  {
    const CScopedCaller trans([this] { BeginTrans(); }, [this] { CommitTrans(); });
    for (const char* sql : {kCreateResItem, kCreateTransItem, kCreateBinary, kCreateValStorage}) {
      Exec(sql);
    }
  }
  const CScopedCaller trans([this] { BeginTrans(); }, [this] { CommitTrans(); });
  Exec(kCreateKeyIndex);
  Exec(kCreateFileIndex);
}

void CStorage::ClearItems() {
  for (const char* sql :
       {"delete from res_item", "delete from trans_item", "delete from binary", "delete from prop"}) {
    Exec(sql);
  }
}

int CStorage::InsertBinary(int parentKey, int num, const unsigned char* data, int size) {
  if (!database_) return kNoKey;
  const std::unique_ptr<unsigned char[]> encoded(EncodeBinary(data, size));
  char* error = nullptr;
  ProcessError(sqlite_exec_printf(database_.get(), kInsertBinary, nullptr, nullptr, &error,
                                  parentKey, num, reinterpret_cast<const char*>(encoded.get())));
  ProcessError(error);
  return sqlite_last_insert_rowid(database_.get());
}

int CStorage::SaveBinary(const unsigned char* data, int size) {
  if (size <= 0) return kNoKey;
  const int key = InsertBinary(kNoKey, 0, data, std::min(size, MAX_BINARY_SIZE));
  int num = 1;
  for (int offset = MAX_BINARY_SIZE; offset < size; offset += MAX_BINARY_SIZE, ++num) {
    InsertBinary(key, num, data + offset, std::min(size - offset, MAX_BINARY_SIZE));
  }
  return key;
}

void CStorage::ClearBinaryChain(int key) {
  if (!database_) return;
  for (const char* sql :
       {"delete from binary where rowid == %d;", "delete from binary where parent_key == %d;"}) {
    char* error = nullptr;
    sqlite_exec_printf(database_.get(), sql, nullptr, nullptr, &error, key);
    ProcessError(error);
  }
}

// ---------------------------------------------------------------- value store

CString CStorage::GetValSelectString(const char16_t* key, const char16_t* file) const {
  return u"SELECT val FROM val_storage WHERE val_key = '" + DuplicateSpecChar(key) +
         u"' AND file = '" + DuplicateSpecChar(file) + u"' ";
}

bool CStorage::IsValExists(const char16_t* key, const char16_t* file) {
  const CString sql = u"select rowid from val_storage where val_key == '" +
                      DuplicateSpecChar(key) + u"' and file == '" + DuplicateSpecChar(file) +
                      u"' ";
  return ::GetKey(database_.get(), sql) != kNoKey;
}

void CStorage::GetInt(int& value, const char16_t* key, const char16_t* file) {
  GetIntVal(database_.get(), GetValSelectString(key, file), value);
}

void CStorage::GetStr(CString& value, const char16_t* key, const char16_t* file) {
  GetStrVal(database_.get(), GetValSelectString(key, file), value);
}

unsigned char* CStorage::GetData(const char16_t* key, unsigned int& size, const char16_t* file) {
  return GetBinaryVal(database_.get(), GetValSelectString(key, file), size);
}

namespace {

// Update when the (key, file) row exists, insert otherwise; `value` is the
// first printf argument of either text.
template <typename Value>
void WriteVal(sqlite* db, bool exists, const char* update, const char* insert,
              const char16_t* key, const char16_t* file, Value value) {
  if (!db) return;
  const std::unique_ptr<char[]> key8(UnicodeToUTF8(key));
  const std::unique_ptr<char[]> file8(UnicodeToUTF8(file));
  char* error = nullptr;
  ProcessError(sqlite_exec_printf(db, exists ? update : insert, nullptr, nullptr, &error, value,
                                  key8.get(), file8.get()));
  ProcessError(error);
}

}  // namespace

void CStorage::SetInt(const char16_t* key, int value, const char16_t* file) {
  WriteVal(database_.get(), IsValExists(key, file),
           "UPDATE val_storage SET val = %d WHERE val_key == %Q AND file == %Q;",
           "INSERT INTO val_storage ( val, val_key, file ) VALUES ( %d, %Q, %Q )", key, file,
           value);
}

void CStorage::SetStr(const char16_t* key, const char16_t* value, const char16_t* file) {
  const std::unique_ptr<char[]> value8(UnicodeToUTF8(value));
  WriteVal(database_.get(), IsValExists(key, file),
           "UPDATE val_storage SET val = %Q WHERE val_key == %Q AND file == %Q;",
           "INSERT INTO val_storage ( val, val_key, file ) VALUES ( %Q, %Q, %Q )", key, file,
           static_cast<const char*>(value8.get()));
}

void CStorage::SetData(const char16_t* key, const unsigned char* data, unsigned int size,
                       const char16_t* file) {
  const std::unique_ptr<unsigned char[]> encoded(EncodeBinary(data, static_cast<int>(size)));
  WriteVal(database_.get(), IsValExists(key, file),
           "UPDATE val_storage SET val = %Q WHERE val_key == %Q AND file == %Q;",
           "INSERT INTO val_storage ( val, val_key, file ) VALUES ( %Q, %Q, %Q )", key, file,
           reinterpret_cast<const char*>(encoded.get()));
}

// ---------------------------------------------------------------- loading

namespace {

// One row of `query`, or false (the code goes to ProcessError) at its end.
bool Step(sqlite_vm* query, const char**& values) {
  if (!query) return false;
  int columns = 0;
  const char** names = nullptr;
  const int rc = sqlite_step(query, &columns, &values, &names);
  if (rc != SQLITE_ROW) {
    ProcessError(rc);
    return false;
  }
  return true;
}

CString Str(const char* text) {
  CString out;
  LoadStr(text, out, u"");
  return out;
}

}  // namespace

void CStorage::MoveNextBin() {
  chunk_.reset();
  chunkSize_ = 0;
  chunkRowId_ = kNoKey;
  chunkParentKey_ = kNoKey;
  const char** values = nullptr;
  if (!Step(binaryQuery_.get(), values)) return;
  chunkRowId_ = LoadInt(values[0], kNoKey);
  chunkParentKey_ = LoadInt(values[1], kNoKey);
  if (values[3]) chunk_.reset(LoadBinary(values[3], chunkSize_));
}

void CStorage::MoveNextTrans() {
  pendingTrans_.reset();
  pendingTransParentKey_ = kNoKey;
  pendingTransBinaryKey_ = kNoKey;
  const char** values = nullptr;
  if (!Step(transQuery_.get(), values)) return;
  auto trans = std::make_unique<CTransItem>(CLangId::Undefined);
  trans->SetKey(LoadInt(values[0], kNoKey));
  pendingTransParentKey_ = LoadInt(values[1], kNoKey);
  trans->SetLang(LoadInt(values[5], 0));
  trans->SetStatus(LoadInt(values[6], 0));
  pendingTransBinaryKey_ = LoadInt(values[2], kNoKey);
  const CString text = Str(values[7]);
  if (!text.IsEmpty()) trans->SetStr(text);
  pendingTrans_ = std::move(trans);
}

void CStorage::MoveNextProp(sqlite_vm* query, PropCursor& cursor) {
  cursor.present = false;
  cursor.value.reset();
  cursor.parentKey = kNoKey;
  cursor.binaryKey = kNoKey;
  const char** values = nullptr;
  if (!Step(query, values)) return;
  cursor.present = true;
  cursor.name.FromString(Str(values[kPropName]));
  cursor.parentKey = LoadInt(values[kPropParent], kNoKey);
  const int kind = LoadInt(values[kPropType], 0);
  cursor.binaryKey = LoadInt(values[kPropBinary], kNoKey);
  switch (kind) {
    case 1:
      cursor.value = std::make_unique<CStrProp>(Str(values[kPropString]));
      break;
    case 2:
      cursor.value = std::make_unique<CIntProp>(LoadInt(values[kPropValue], -1));
      break;
    case 3:
      cursor.value = std::make_unique<CBinaryProp>(std::vector<unsigned char>());
      break;
    default:
      // No property kind: the row keeps its place (and its chunks are
      // consumed in turn) but stores nothing.
      break;
  }
}

template <typename Owner>
void CStorage::AttachChain(int key, Owner* owner) {
  if (key == kNoKey || chunkRowId_ != key) return;
  do {
    if (owner) owner->AddBinaryBlock(chunk_.get(), chunkSize_);
    MoveNextBin();
  } while (chunkParentKey_ == key);
}

void CStorage::AttachPropChain(PropCursor& cursor) {
  if (cursor.binaryKey == kNoKey) return;
  AttachChain(cursor.binaryKey, dynamic_cast<CBinaryProp*>(cursor.value.get()));
}

CResItem* CStorage::GetNextResItem(int& parentKey, int& key) {
  const char** values = nullptr;
  if (!Step(itemQuery_.get(), values)) return nullptr;
  auto item = std::make_unique<CResItem>();
  const int rowId = LoadInt(values[0], kNoKey);
  key = rowId;
  parentKey = LoadInt(values[1], kNoKey);
  const int binaryKey = LoadInt(values[2], kNoKey);
  item->SetType(LoadInt(values[3], kNoKey));
  item->SetComment(Str(values[4]));
  item->SetResId(Str(values[5]));
  item->SetTabNum(LoadInt(values[6], 0));
  item->SetState(LoadInt(values[7], 0));
  AttachChain(binaryKey, item.get());

  while (itemProp_.present && itemProp_.parentKey == rowId) {
    AttachPropChain(itemProp_);
    if (itemProp_.value) item->SetPropW(itemProp_.name, itemProp_.value.release());
    MoveNextProp(itemPropQuery_.get(), itemProp_);
  }

  while (pendingTrans_ && pendingTransParentKey_ == rowId) {
    AttachChain(pendingTransBinaryKey_, pendingTrans_.get());
    while (transProp_.present && transProp_.parentKey == pendingTrans_->GetKey()) {
      AttachPropChain(transProp_);
      if (transProp_.value) pendingTrans_->SetPropW(transProp_.name, transProp_.value.release());
      MoveNextProp(transPropQuery_.get(), transProp_);
    }
    // Two rows of one language: the later one wins, the earlier is released
    // (the item would otherwise lose track of it).
    delete item->RemoveTransItem(pendingTrans_->GetLang());
    item->AddTransItem(pendingTrans_.release());
    MoveNextTrans();
  }
  return item.release();
}

// The recursion of "each child collects its descendants" unrolled into a path
// of open ancestors, so that a deep chain of items cannot exhaust the stack.
CResItem* CStorage::Fill(CResItem* parent, int parentRowId) {
  std::vector<std::pair<CResItem*, int>> path{{parent, parentRowId}};
  int parentKey = kNoKey;
  int key = kNoKey;
  CResItem* item = GetNextResItem(parentKey, key);
  while (item) {
    while (!path.empty() && path.back().second != parentKey) path.pop_back();
    if (path.empty()) return item;
    path.back().first->AddResItem(item);
    path.emplace_back(item, key);
    item = GetNextResItem(parentKey, key);
  }
  return nullptr;
}

void CStorage::EndLoad() {
  itemQuery_.reset();
  transQuery_.reset();
  binaryQuery_.reset();
  itemPropQuery_.reset();
  transPropQuery_.reset();
  chunk_.reset();
  chunkSize_ = 0;
  chunkRowId_ = kNoKey;
  chunkParentKey_ = kNoKey;
  pendingTrans_.reset();
  pendingTransParentKey_ = kNoKey;
  pendingTransBinaryKey_ = kNoKey;
  itemProp_ = PropCursor();
  transProp_ = PropCursor();
}

CResItem* CStorage::Load() {
  if (!database_) {
    Notify(u"IO error");
    return nullptr;
  }
  const CScopedCaller trans([this] { BeginTrans(); }, [this] { CommitTrans(); });
  const auto compile = [this](const char* sql) {
    sqlite_vm* vm = nullptr;
    const char* tail = nullptr;
    char* error = nullptr;
    ProcessError(sqlite_compile(database_.get(), sql, &tail, &vm, &error));
    ProcessError(error);
    return Query(vm);
  };
  itemQuery_ = compile(kSelectItems);
  transQuery_ = compile(kSelectTrans);
  binaryQuery_ = compile(kSelectBinary);
  itemPropQuery_ = compile(kSelectItemProps);
  transPropQuery_ = compile(kSelectTransProps);
  if (!itemQuery_ || !transQuery_ || !binaryQuery_ || !itemPropQuery_ || !transPropQuery_) {
    Notify(u"IO error");
    EndLoad();
    return nullptr;
  }

  // Read for compatibility only: every version loads the same way.
  int version = 0;
  GetIntVal(database_.get(), GetValSelectString(u"ProjectVersion", u""), version);

  MoveNextBin();
  MoveNextProp(transPropQuery_.get(), transProp_);
  MoveNextTrans();
  MoveNextProp(itemPropQuery_.get(), itemProp_);

  int parentKey = kNoKey;
  int rootKey = kNoKey;
  std::unique_ptr<CResItem> root(GetNextResItem(parentKey, rootKey));
  if (parentKey == kNoKey && root) {
    // The first row that fits no open ancestor ends the load; it is dropped.
    const std::unique_ptr<CResItem> orphan(Fill(root.get(), rootKey));
  }
  EndLoad();
  return root.release();
}

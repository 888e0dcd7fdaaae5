// CStorage's value store: typed values in VAL_STORAGE addressed by key and
// file name, read through the one-value queries and written as one row per
// (key, file) pair, updated when present and inserted otherwise.
#include "storage/Storage.h"

#include <sqlite.h>

#include <memory>

#include "text/TextUtil.h"

namespace {

constexpr int kNoKey = CStorage::NoKey;

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

// CStorage's connection, schema and writing: opening a project database,
// transactions, creating and clearing the tables, and the chains of BINARY
// rows that hold data larger than one chunk.
#include "storage/Storage.h"

#include <sqlite.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "items/ItemEvents.h"
#include "items/TransItem.h"  // the loader's read-ahead, destroyed with the connection
#include "platform/FileSystem.h"

namespace {

constexpr int kNoKey = CStorage::NoKey;

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

}  // namespace

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

// The project database of the older project format (an SQLite 2.8 file): CStorage,
// defined in StorageSchema.cpp, StorageLoad.cpp and StorageValues.cpp, and the free
// SQLite helpers of StorageSql.cpp (errors, value queries, text and binary codecs).
#pragma once

#include <memory>
#include <vector>

#include "platform/CString.h"
#include "props/Prop.h"
#include "props/PropName.h"

class CResItem;
class CTransItem;

// The SQLite 2 handle types, without pulling <sqlite.h> into every client;
// they match its `typedef struct sqlite sqlite;` and `sqlite_vm`.
struct sqlite;
struct sqlite_vm;

// SQLite 2.8's binary-to-text encoding. Defined by this library (upstream's
// encode.c is not compiled), with C linkage so that the declarations in
// <sqlite.h> name the same functions.
extern "C" {
// Writes the encoded form of n bytes plus a 0 terminator into `out`, which
// holds at least 2n + 2 bytes; returns the length without the terminator.
// n <= 0 writes "x" and returns 1.
int sqlite_encode_binary(const unsigned char* in, int n, unsigned char* out);
// Decodes up to the 0 terminator into `out` (at least strlen(in) bytes);
// returns the decoded length, or -1 for a malformed escape.
int sqlite_decode_binary(const unsigned char* in, unsigned char* out);
}

// One connection to a project database. The path is a stored (backslash)
// path, mapped to the native one like every other file name. Opening a file
// that does not exist creates an empty database; every opened file gets a
// PROP table. SQLite 2.8 may crash or loop on a damaged file: a file this
// process did not write should pass CheckProjectDatabase (DatabaseCheck.h)
// first. Test IsGood() before any other call. Database errors never throw: their texts go
// to the message panel (CMessageProxy). Move-only: one owner per connection.
class CStorage {
 public:
  static constexpr int MAX_BINARY_SIZE = 950000;  // largest chunk, bytes before encoding
  static constexpr int CurrentVersion = 4200;     // current project version number
  static constexpr int NoKey = 9999999;           // "no row" in every key column

  explicit CStorage(CString path);
  ~CStorage();
  CStorage(CStorage&& other) noexcept;
  CStorage& operator=(CStorage&& other) noexcept;
  CStorage(const CStorage&) = delete;
  CStorage& operator=(const CStorage&) = delete;

  bool IsGood() const { return database_ != nullptr; }
  const CString& GetPath() const { return path_; }

  // Creates RES_ITEM, TRANS_ITEM, BINARY, VAL_STORAGE and the two value
  // indexes (PROP exists already).
  void CreateDb();
  // Empties the four item tables; VAL_STORAGE is kept.
  void ClearItems();

  // The whole item tree, or null (empty RES_ITEM table, or tables missing:
  // then "IO error" is reported). The caller owns the result.
  CResItem* Load();

  // Value store, addressed by key and file name ("" = project-wide). The
  // getters leave the output unchanged when no row exists.
  void GetInt(int& value, const char16_t* key, const char16_t* file = u"");
  void GetStr(CString& value, const char16_t* key, const char16_t* file = u"");
  // A new[] buffer (free with delete[]) and its size, or null.
  unsigned char* GetData(const char16_t* key, unsigned int& size, const char16_t* file = u"");
  void SetInt(const char16_t* key, int value, const char16_t* file = u"");
  void SetStr(const char16_t* key, const char16_t* value, const char16_t* file = u"");
  void SetData(const char16_t* key, const unsigned char* data, unsigned int size,
               const char16_t* file = u"");

 private:
  friend class StorageTestPeer;  // chain writing is checked directly by the tests

  struct DbCloser {
    void operator()(sqlite* db) const;
  };
  struct VmFinalizer {
    void operator()(sqlite_vm* vm) const;
  };
  using Query = std::unique_ptr<sqlite_vm, VmFinalizer>;

  // A PROP row read ahead by one of the two property cursors.
  struct PropCursor {
    bool present = false;  // a row is held, even one of no known kind (value null)
    int parentKey = NoKey;
    int binaryKey = NoKey;
    std::unique_ptr<CProp> value;
    CPropName name;
  };

  void BeginTrans();
  void CommitTrans();
  void CreatePropTable(bool inTransaction);
  void Exec(const char* sql);

  CString GetValSelectString(const char16_t* key, const char16_t* file) const;
  bool IsValExists(const char16_t* key, const char16_t* file);

  int SaveBinary(const unsigned char* data, int size);
  int InsertBinary(int parentKey, int num, const unsigned char* data, int size);
  void ClearBinaryChain(int key);

  // Loader steps: one row read ahead per cursor, stitched like a merge.
  // The rowid of an item travels with it on the path of open ancestors
  // (`key`), so no map from item to rowid is kept.
  CResItem* GetNextResItem(int& parentKey, int& key);
  CResItem* Fill(CResItem* parent, int parentRowId);
  void MoveNextTrans();
  void MoveNextBin();
  void MoveNextProp(sqlite_vm* query, PropCursor& cursor);
  template <typename Owner>
  void AttachChain(int key, Owner* owner);
  void AttachPropChain(PropCursor& cursor);
  void EndLoad();

  CString path_;
  std::unique_ptr<sqlite, DbCloser> database_;
  Query itemQuery_;
  std::unique_ptr<CTransItem> pendingTrans_;
  int pendingTransParentKey_ = NoKey;
  int pendingTransBinaryKey_ = NoKey;
  Query transQuery_;
  PropCursor itemProp_;
  Query itemPropQuery_;
  PropCursor transProp_;
  Query transPropQuery_;
  std::unique_ptr<unsigned char[]> chunk_;
  unsigned int chunkSize_ = 0;
  int chunkRowId_ = NoKey;
  int chunkParentKey_ = NoKey;
  Query binaryQuery_;
};

// Value queries: the first column of the first row of `sql`. A query that
// does not compile reports "IO error: <function>" and leaves the output alone.
void GetIntVal(sqlite* db, const CString& sql, int& value);
void GetStrVal(sqlite* db, const CString& sql, CString& value);
// A new[] buffer with the decoded column and its size, or null.
unsigned char* GetBinaryVal(sqlite* db, const CString& sql, unsigned int& size);
// The integer of the first row, or CStorage::NoKey.
int GetKey(sqlite* db, const CString& sql);

// Shows an SQLite error text in the message panel and frees it with
// sqlite_freemem; false for null. Takes ownership of `errorText`.
bool ProcessError(char* errorText);
// Result codes are not shown to the user: always false.
bool ProcessError(int resultCode);

// True when the file (a stored path) starts with the 47-byte SQLite 2.1 header.
bool IsSQLiteFormat(const char16_t* path);

// new[] buffer of 3 * size + 2 bytes holding the encoded text (delete[]).
unsigned char* EncodeBinary(const unsigned char* data, int size);

// Column converters: null or empty text gives the default. The flags have no
// effect; they are kept for callers of the old interface.
int LoadInt(const char* text, int defaultValue, bool flag = false);
void LoadStr(const char* text, CString& out, const char16_t* defaultValue, bool flag = false);
void LoadResId(const char* text, CString& out);
// REQUIRES: text is not null. A new[] buffer (delete[]) with the decoded bytes.
unsigned char* LoadBinary(const char* text, unsigned int& size, bool flag = false);

// Text conversions; every result is a terminated new[] buffer (delete[]).
// `length` receives the bytes produced including the terminator (not written
// for empty text).
char* UnicodeToUTF8(const char16_t* text, int* length = nullptr);
// `length` bytes of UTF-8 (a terminator among them is kept as one).
char16_t* UTF8ToUnicode(const char* text, int length);
// The ANSI code page of this port is UTF-8 (see StorageSql.cpp).
char* UnicodeToAnsi(const char16_t* text);
char16_t* AnsiToUnicode(const char* text);

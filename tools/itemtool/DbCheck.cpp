// itemlib-dbcheck FILE: reads an old project database the way the library
// reads it and prints "sound" when that came through. SQLite 2.8 trusts what
// it reads: a damaged record can make it free memory twice (vdbeaux.c
// Cleanup), read a text past its end, or descend into the same page forever.
// So this runs as a process of its own, and its caller (CheckProjectDatabase)
// takes a crash, a kill at the time limit or any other output as damage.
#include <sqlite.h>

#include <cstdio>
#include <cstring>

#include "config/OldPrjConfig.h"
#include "platform/Files.h"

namespace {

// Every table the library reads, as every field, sorted as the loader sorts,
// with a constant last column (see FieldsEndInPlace).
constexpr const char* kTables[] = {
    "SELECT *, 'end' FROM sqlite_master ORDER BY rowid",
    "SELECT *, 'end' FROM res_item ORDER BY rowid",
    "SELECT *, 'end' FROM trans_item ORDER BY rowid",
    "SELECT *, 'end' FROM binary ORDER BY rowid",
    "SELECT *, 'end' FROM prop ORDER BY rowid",
    "SELECT *, 'end' FROM val_storage ORDER BY rowid",
};

// True when each text of a sorted row ends within its own field. SQLite 2.8
// hands a sorted row out as one block with the texts back to back in column
// order, so the start of the next text bounds each one, and the constant last
// column bounds the table's last field. A text that lost its stored
// terminator reads on past its row without crashing in a plain build, so
// this is looked for rather than left to a crash.
bool FieldsEndInPlace(int columns, const char** values) {
  if (columns < 1 || !values[columns - 1]) return false;
  const char* next = values[columns - 1];
  for (int i = columns - 2; i >= 0; --i) {
    if (!values[i]) continue;
    if (values[i] >= next || !std::memchr(values[i], 0, static_cast<size_t>(next - values[i]))) {
      return false;
    }
    next = values[i];
  }
  return true;
}

// False at the first field out of place. A table that is missing or locked
// is the loader's own error, not damage.
bool ReadThrough(const char* name) {
  char* error = nullptr;
  sqlite* db = sqlite_open(name, 0, &error);
  if (!db) return true;
  for (const char* sql : kTables) {
    sqlite_vm* vm = nullptr;
    const char* tail = nullptr;
    if (sqlite_compile(db, sql, &tail, &vm, nullptr) != SQLITE_OK || !vm) continue;
    int columns = 0;
    const char** values = nullptr;
    const char** names = nullptr;
    int step;
    while ((step = sqlite_step(vm, &columns, &values, &names)) == SQLITE_ROW) {
      if (!FieldsEndInPlace(columns, values)) return false;
    }
    const int rc = sqlite_finalize(vm, nullptr);
    if (step == SQLITE_BUSY || rc == SQLITE_BUSY) break;
    if (rc != SQLITE_OK || step != SQLITE_DONE) return false;
  }
  sqlite_close(db);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const char* name = argc == 3 && std::strcmp(argv[1], "--") == 0 ? argv[2] : nullptr;
  if (argc == 2 && argv[1][0] != '-') name = argv[1];
  if (!name) {
    std::fputs("usage: itemlib-dbcheck [--] FILE\n", stderr);
    return 2;
  }
  if (!ReadThrough(name)) {
    std::fputs("damaged\n", stdout);
    return 1;
  }
  // The loader's five queries read a subset of what was just read, in the
  // same order. The value store is read through its indexes, which the
  // tables above do not touch: that part runs as callers run it. Messages go
  // nowhere: nobody listens in this process.
  COldPrjConfig().Load(Files::FromNativePath(name));
  std::fputs("sound\n", stdout);
  return 0;
}

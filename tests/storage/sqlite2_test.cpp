// The SQLite 2.8 dependency links and works: a fresh database on disk takes a
// table and gives a row back, and the file carries the 2.1 format header that
// old projects are recognised by. Foreign files are refused in load_test.
#include <gtest/gtest.h>
#include <sqlite.h>

#include <fstream>
#include <string>

#include "StorageTestUtil.h"

namespace {

TEST(Sqlite2, CreatesTableAndReadsRowBack) {
  EXPECT_STREQ(sqlite_libversion(), "2.8.17");
  const std::string path = storage_test::TempPath("sqlite2_roundtrip.db");

  char* error = nullptr;
  sqlite* db = sqlite_open(path.c_str(), 0, &error);
  ASSERT_NE(db, nullptr) << (error ? error : "");
  ASSERT_EQ(sqlite_exec(db, "create table T ( k INTEGER PRIMARY KEY, v CHAR )", nullptr,
                        nullptr, &error),
            SQLITE_OK);
  ASSERT_EQ(sqlite_exec_printf(db, "insert into T (v) values (%Q)", nullptr, nullptr, &error,
                               "it's"),
            SQLITE_OK);
  EXPECT_EQ(sqlite_last_insert_rowid(db), 1);

  sqlite_vm* vm = nullptr;
  const char* tail = nullptr;
  ASSERT_EQ(sqlite_compile(db, "select k, v from T", &tail, &vm, &error), SQLITE_OK);
  int columns = 0;
  const char** values = nullptr;
  const char** names = nullptr;
  ASSERT_EQ(sqlite_step(vm, &columns, &values, &names), SQLITE_ROW);
  ASSERT_EQ(columns, 2);
  EXPECT_STREQ(values[0], "1");
  EXPECT_STREQ(values[1], "it's");
  EXPECT_STREQ(names[1], "v");
  EXPECT_EQ(sqlite_step(vm, &columns, &values, &names), SQLITE_DONE);
  EXPECT_EQ(sqlite_finalize(vm, &error), SQLITE_OK);
  sqlite_close(db);

  std::ifstream file(path, std::ios::binary);
  std::string header(47, '\0');
  file.read(&header[0], 47);
  EXPECT_EQ(header, "** This file contains an SQLite 2.1 database **");
}

}  // namespace

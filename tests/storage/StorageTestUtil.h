// Shared by the storage tests: scratch database files and raw SQL against
// them (rows written the way an old project holds them, from testdata/*.sql).
// The messages the storage sends are caught by the services tests' PanelLog.
#pragma once

#include <gtest/gtest.h>
#include <sqlite.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/CString.h"
#include "platform/TestData.h"
#include "serial/SerialTestUtil.h"
#include "services/FileTestUtil.h"
#include "storage/Storage.h"

namespace storage_test {

// A scratch file of the running test case, in a folder of its own.
inline std::string TempPath(const std::string& name) { return ScratchDir() + "/" + name; }

inline CString Wide(const std::string& path) { return CString::FromUtf8(path); }

// Runs `statements` on a connection of its own, outside the storage under
// test; the rows they answer, as "col|col|..." lines.
inline std::vector<std::string> Sql(const std::string& path,
                                    const std::vector<std::string>& statements) {
  std::vector<std::string> rows;
  char* error = nullptr;
  sqlite* db = sqlite_open(path.c_str(), 0, &error);
  EXPECT_NE(db, nullptr) << path;
  for (size_t i = 0; db != nullptr && i < statements.size(); ++i) {
    char** table = nullptr;
    int n = 0, columns = 0;
    EXPECT_EQ(sqlite_get_table(db, statements[i].c_str(), &table, &n, &columns, &error), SQLITE_OK)
        << statements[i];
    for (int cell = columns; cell < (n + 1) * columns; ++cell) {
      if (cell % columns == 0) rows.emplace_back();
      rows.back() += (cell % columns ? "|" : "") + std::string(table[cell] ? table[cell] : "NULL");
    }
    sqlite_free_table(table);
    sqlite_freemem(error);
    error = nullptr;
  }
  if (db) sqlite_close(db);
  return rows;
}

// Runs the statements of testdata/`name`, one a line; "{61 00}" stands for
// those bytes as a binary column holds them, encoded.
inline void SqlFile(const std::string& path, const std::string& name) {
  std::vector<std::string> statements;
  for (const auto& row : testdata::Rows("storage", name)) {
    std::string& s = statements.emplace_back(row.at(0));
    for (size_t open = 0; (open = s.find('{', open)) != std::string::npos;) {
      const size_t close = s.find('}', open);
      const testutil::Bytes bytes = testutil::FromHex(s.substr(open + 1, close - open - 1));
      const std::unique_ptr<unsigned char[]> text(
          EncodeBinary(bytes.data(), static_cast<int>(bytes.size())));
      const std::string encoded = reinterpret_cast<const char*>(text.get());
      s.replace(open, close + 1 - open, encoded);
      open += encoded.size();
    }
  }
  Sql(path, statements);
}

}  // namespace storage_test

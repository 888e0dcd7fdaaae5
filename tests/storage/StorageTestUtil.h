// Shared by the storage tests: scratch database files, raw SQL against them
// (rows written the way an old project holds them, from testdata/*.sql) and
// a catcher for the messages the storage sends to the message panel.
#pragma once

#include <gtest/gtest.h>
#include <sqlite.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/CString.h"
#include "platform/TestData.h"
#include "services/Messaging.h"
#include "storage/Storage.h"

namespace storage_test {

// A scratch file of this process: CTest runs every test case as a process of
// its own, several at once, and cases of one fixture share the file name.
inline std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("ITEMLIB_TEST_TMP");
  const std::string path =
      std::string(dir ? dir : "/tmp") + "/itemlib-" + std::to_string(getpid()) + "-" + name;
  std::remove(path.c_str());
  return path;
}

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
      std::vector<unsigned char> bytes;
      const size_t close = s.find('}', open);
      for (size_t i = open + 1; i < close; i += 3)
        bytes.push_back(std::stoi(s.substr(i, 2), nullptr, 16));
      const std::unique_ptr<unsigned char[]> text(
          EncodeBinary(bytes.data(), static_cast<int>(bytes.size())));
      const std::string encoded = reinterpret_cast<const char*>(text.get());
      s.replace(open, close + 1 - open, encoded);
      open += encoded.size();
    }
  }
  Sql(path, statements);
}

class MessageCatcher : public IMessager {
 public:
  MessageCatcher() { CMessageProxy::Instance().Register(*this); }
  ~MessageCatcher() override { CMessageProxy::Instance().Unregister(*this); }
  void OnNotifyMsg(CMgsId id, const void* data) override {
    ASSERT_EQ(id, MessagePanel);
    const auto* msg = static_cast<const CMessagePanelMsg*>(data);
    EXPECT_EQ(msg->type, CMessagePanelMsg::ErrorReport);
    texts.emplace_back(msg->text.GetString());
  }
  std::vector<std::u16string> texts;
};

}  // namespace storage_test

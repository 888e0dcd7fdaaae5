// Reading the data files of the tests: tests/<folder>/testdata/<name>, found
// from this header's own path, and tab-separated tables read from them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testdata {

// A compiler cache may make __FILE__ relative to the build folder, which the
// tests run below: then the first folder upward that holds it is the one.
inline std::string Read(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  const fs::path rel = fs::path(__FILE__).parent_path().parent_path() / folder / "testdata" / name;
  fs::path dir = fs::current_path();
  while (rel.is_relative() && !fs::exists(dir / rel) && dir != dir.parent_path())
    dir = dir.parent_path();
  std::ifstream in(rel.is_relative() ? dir / rel : rel, std::ios::binary);
  EXPECT_TRUE(in) << rel;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The rows of a table file, each split at tabs; blank lines and lines
// starting with '#' are skipped.
inline std::vector<std::vector<std::string>> Rows(const std::string& folder,
                                                  const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(Read(folder, name));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream cells(line);
    std::vector<std::string>& row = rows.emplace_back();
    for (std::string cell; std::getline(cells, cell, '\t');) row.push_back(cell);
    if (line.back() == '\t') row.emplace_back();
  }
  return rows;
}

}  // namespace testdata

// Reading the data files of the tests, tests/<folder>/testdata/<name>, and
// the tab-separated tables in them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace testdata {

// The build names the tests' source folder; the file tree is the same
// wherever the checkout is.
inline std::string Read(const std::string& folder, const std::string& name) {
  const auto path = std::filesystem::path(ITEMLIB_TESTS_DIR) / folder / "testdata" / name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
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

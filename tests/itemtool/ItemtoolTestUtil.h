// Scratch files for the itemtool tests.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace itemtool_test {

inline std::string Temp(const std::string& name) {
  const char* dir = std::getenv("ITEMLIB_TEST_TMP");
  return std::string(dir ? dir : "/tmp") + "/" + name;
}

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace itemtool_test

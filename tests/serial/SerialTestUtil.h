// Helpers for the serial tests: write through a lambda into bytes, read
// bytes back, spell bytes in hex for readable failures, and the named byte
// layouts of tests/serial/testdata/layouts.tsv.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/TestData.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

namespace testutil {

using Bytes = std::vector<unsigned char>;

// Forwards every call: the library sees a stream of another type than the
// binary writer or reader and takes its generic path over the same bytes.
class Forward : public Serial::ISerialStream {
 public:
  explicit Forward(Serial::ISerialStream& s) : s_(s) {}
  bool EnterNode(const Serial::NodeName& name) override { return s_.EnterNode(name); }
  void LeaveNode() override { s_.LeaveNode(); }
  bool IsReading() const override { return s_.IsReading(); }
  const void* ReadField(unsigned int& size) override { return s_.ReadField(size); }
  void WriteField(unsigned int size, const void* data) override { s_.WriteField(size, data); }
  Serial::VersionInfo GetSchemeVersion() override { return s_.GetSchemeVersion(); }

 private:
  Serial::ISerialStream& s_;
};

// The whole stream written by a BinarySerialOut around `body`.
inline Bytes Write(const std::function<void(Serial::ISerialStream&)>& body) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    body(writer);
  }
  return out.Take();
}

// Only the bytes that `body` wrote, without header, "Root" start and end.
inline Bytes WriteBody(const std::function<void(Serial::ISerialStream&)>& body) {
  Bytes all = Write(body);
  return Bytes(all.begin() + 109, all.end() - 1);
}

inline void Read(const Bytes& bytes, const std::function<void(Serial::ISerialStream&)>& body) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  Serial::Binary::BinarySerialIn reader(in);
  body(reader);
}

inline std::string Hex(const Bytes& bytes) {
  std::string text;
  char part[4];
  for (unsigned char b : bytes) {
    std::snprintf(part, sizeof part, text.empty() ? "%02X" : " %02X", b);
    text += part;
  }
  return text;
}

// Bytes from text such as "18 01 01 41 00".
inline Bytes FromHex(const std::string& text) {
  Bytes bytes;
  std::istringstream in(text);
  for (unsigned int byte = 0; in >> std::hex >> byte;) bytes.push_back(static_cast<uint8_t>(byte));
  return bytes;
}

// A complete stream: the standard header and "Root" around `body`.
inline Bytes Stream(const Bytes& body) {
  Bytes all = Write([](Serial::ISerialStream&) {});
  all.pop_back();
  all.insert(all.end(), body.begin(), body.end());
  all.push_back(0x19);
  return all;
}

// The hex of the row `name` of the serial layouts table.
inline std::string Layout(const std::string& name) {
  for (const auto& row : testdata::Rows("serial", "layouts.tsv")) {
    if (row.at(0) == name) return row.at(1);
  }
  ADD_FAILURE() << "no layout " << name;
  return "";
}

inline std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("ITEMLIB_TEST_TMP");
  return std::string(dir ? dir : "/tmp") + "/" + name;
}

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testutil

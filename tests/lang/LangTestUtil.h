// Shared pieces of the language tests: the serial body a value writes, a
// value read back from such a body, exact layouts kept as hex under
// testdata/, and a property copied through the class registry as a project
// file carries it.
#pragma once

#include <memory>
#include <string>

#include "platform/TestData.h"
#include "props/Prop.h"
#include "serial/SerialStrategies.h"
#include "serial/SerialTestUtil.h"

namespace langtest {

// The bytes `value.Do` writes, in hex, without the stream's header and "Root".
template <typename T>
std::string BodyHex(T& value) {
  return testutil::Hex(
      testutil::WriteBody([&](Serial::ISerialStream& s) { EXPECT_TRUE(value.Do(s)); }));
}

// What `value.Do` answers when it reads `body` (hex) inside a whole stream;
// the binary reader throws FormatIO where the layout is broken.
template <typename T>
bool ReadBody(const std::string& body, T& value) {
  bool result = false;
  testutil::Read(testutil::Stream(testutil::FromHex(body)),
                 [&](Serial::ISerialStream& s) { result = value.Do(s); });
  return result;
}

// The hex bytes of `folder`/testdata/`name`, its lines (comments aside) joined.
inline std::string HexFile(const std::string& folder, const std::string& name) {
  std::string hex;
  for (const auto& row : testdata::Rows(folder, name)) hex += (hex.empty() ? "" : " ") + row.at(0);
  return hex;
}

// `prop` written with its class name and recreated by that name.
inline std::unique_ptr<CProp> RegistryCopy(const CProp& prop) {
  Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
  Serial::SerialClassStrategy<CProp> strategy(factory);
  const std::unique_ptr<CProp> written(prop.Clone());
  CProp* raw = written.get();
  const testutil::Bytes bytes =
      testutil::Write([&](Serial::ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, raw)); });
  raw = nullptr;
  testutil::Read(bytes, [&](Serial::ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, raw)); });
  return std::unique_ptr<CProp>(raw);
}

}  // namespace langtest

// The SQLite 2.8 binary encoding: exact encoded bytes for the fixed vectors,
// round trips over every byte value, and the malformed and empty inputs.
// EncodeBinary itself writes every chunk of load_test.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "storage/Storage.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Encode(const Bytes& in) {
  Bytes out(2 * in.size() + 2, 0xEE);
  const int n = sqlite_encode_binary(in.data(), static_cast<int>(in.size()), out.data());
  EXPECT_EQ(out[n], 0) << "terminator";
  out.resize(n);
  return out;
}

Bytes RoundTrip(const Bytes& in) {
  Bytes encoded = Encode(in);
  for (const unsigned char c : encoded) EXPECT_TRUE(c != 0 && c != '\'');
  encoded.push_back(0);
  Bytes out(encoded.size());
  const int n = sqlite_decode_binary(encoded.data(), out.data());
  EXPECT_GE(n, 0);
  out.resize(n < 0 ? 0 : n);
  return out;
}

TEST(BinaryEncoding, FixedVectors) {
  EXPECT_EQ(Encode({}), (Bytes{'x'}));
  unsigned char x[] = {'x', 0, 9};
  EXPECT_EQ(sqlite_decode_binary(x, x + 2), 0);
  // Offsets 1 (counts 0x01) and 0x27 are passed over; 2 is the first free one.
  EXPECT_EQ(Encode({0x00, 0x01}), (Bytes{0x02, 0xFE, 0xFF}));
  // All of 0x01..0x03 present: offset 4 is the first free one, no escapes.
  EXPECT_EQ(Encode({0x01, 0x02, 0x03}), (Bytes{0x04, 0xFD, 0xFE, 0xFF}));
  // Every value present: each offset costs 3, the smallest (1) wins, and the
  // bytes 1, 2 and 0x28 are escaped as 01 01, 01 02, 01 03.
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<unsigned char>(i);
  const Bytes encoded = Encode(all);
  ASSERT_EQ(encoded.size(), 1u + 256u + 3u);
  EXPECT_EQ(encoded[0], 1);
  EXPECT_EQ(encoded[1], 0xFF);                                                      // 0x00 - 1
  EXPECT_EQ(Bytes(encoded.begin() + 2, encoded.begin() + 6), (Bytes{1, 1, 1, 2}));  // 1, 2
  EXPECT_EQ(Bytes(encoded.begin() + 43, encoded.begin() + 45), (Bytes{1, 3}));      // 0x28
}

TEST(BinaryEncoding, EveryByteAndRandomBlocksRoundTrip) {
  for (int c = 0; c < 256; ++c) {
    const Bytes run(300, static_cast<unsigned char>(c));
    EXPECT_EQ(RoundTrip(run), run) << c;
  }
  Bytes block(70000);
  std::mt19937 random(42);
  for (unsigned char& b : block) b = static_cast<unsigned char>(random());
  EXPECT_EQ(RoundTrip(block), block);
}

TEST(BinaryEncoding, MalformedEscapeIsMinusOne) {
  const unsigned char bad[] = {0x05, 0x41, 0x01, 0x04, 0x42, 0x00};
  unsigned char out[sizeof(bad)];
  EXPECT_EQ(sqlite_decode_binary(bad, out), -1);
  // A damaged column decodes to nothing instead of a huge size.
  unsigned int size = 77;
  const std::unique_ptr<unsigned char[]> decoded(
      LoadBinary(reinterpret_cast<const char*>(bad), size));
  EXPECT_EQ(size, 0u);
}

}  // namespace

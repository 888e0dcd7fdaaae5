// Byte streams: memory written in place, standard gzip at every level and
// none past the last.
#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>

#include "SerialTestUtil.h"
#include "serial/Streams.h"

using testutil::Bytes;

namespace {

// A writer works in the memory stream's own memory: scratch bytes are written
// over, and nothing else may write there meanwhile.
TEST(MemoryStreamOut, WriterWorksInPlace) {
  const Bytes empty = testutil::Write([](Serial::ISerialStream&) {});
  Serial::MemoryStreamOut out(Bytes(100000, 0xEE));
  EXPECT_EQ(out.write("ab", 2), 2u);
  {
    Serial::Binary::BinarySerialOut writer(out);
    EXPECT_EQ(out.write("c", 1), 0u);
    EXPECT_THROW(out.Take(), std::logic_error);
    {
      Serial::Binary::BinarySerialOut second(out);  // finds the memory lent
      EXPECT_FALSE(second.Flush());
    }
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(out.size(), empty.size() + 1);  // all but the end of "Root"
  }
  Bytes expect{'a', 'b'};
  expect.insert(expect.end(), empty.begin(), empty.end());
  EXPECT_EQ(out.Take(), expect);
  EXPECT_EQ(out.size(), 0u);
}

TEST(GZFileStreams, EveryLevelWritesStandardGzip) {
  Bytes payload;
  for (int i = 0; i < 50000; ++i) payload.push_back(static_cast<unsigned char>(i * 7 % 251));
  for (unsigned int level = 0; level <= 9; ++level) {
    const std::string path = testutil::TempPath("level" + std::to_string(level) + ".gz");
    {
      Serial::GZFileStreamOut out(CString::FromUtf8(path), level);
      EXPECT_EQ(out.write(payload.data(), 1000), 1000u);
      EXPECT_EQ(out.write(payload.data() + 1000, 49000), 49000u);
    }
    gzFile raw = gzopen(path.c_str(), "rb");  // zlib itself reads it as gzip
    ASSERT_NE(raw, nullptr);
    Bytes back(payload.size() + 10);
    back.resize(static_cast<size_t>(gzread(raw, back.data(), static_cast<unsigned>(back.size()))));
    EXPECT_EQ(gzdirect(raw), 0) << "level " << level;
    gzclose(raw);
    EXPECT_EQ(back, payload);
  }
  Serial::GZFileStreamOut tooHigh(CString::FromUtf8(testutil::TempPath("level10.gz")), 10);
  EXPECT_FALSE(tooHigh.IsOpen());
  EXPECT_EQ(tooHigh.write("abc", 3), 0u);
}

}  // namespace

// Gzip file streams: standard gzip at every level, none past the last.
#include <gtest/gtest.h>
#include <zlib.h>

#include "SerialTestUtil.h"
#include "serial/Streams.h"

using testutil::Bytes;

namespace {

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

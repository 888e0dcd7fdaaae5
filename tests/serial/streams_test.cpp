// Byte streams: memory bounds, files, and gzip files at every level.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>

#include "SerialTestUtil.h"
#include "serial/SerialDo.h"

using testutil::Bytes;

namespace {

TEST(MemoryStreamIn, ShortReadsAtTheEnd) {
  const unsigned char data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  Serial::MemoryStreamIn in(data, 10);
  unsigned char buffer[4] = {};
  EXPECT_EQ(in.read(buffer, 4), 4u);
  EXPECT_EQ(in.read(buffer, 4), 4u);
  EXPECT_EQ(in.read(buffer, 4), 2u);
  EXPECT_EQ(buffer[0], 8);
  EXPECT_EQ(buffer[1], 9);
  EXPECT_EQ(in.read(buffer, 4), 0u);
  Serial::MemoryStreamIn none(nullptr, 0);
  EXPECT_EQ(none.read(buffer, 4), 0u);
}

TEST(FileStreams, MissingFilesReadAndWriteNothing) {
  Serial::FileStreamIn in(u"/nonexistent-dir/none.bin");
  EXPECT_FALSE(in.IsOpen());
  char buffer[4];
  EXPECT_EQ(in.read(buffer, 4), 0u);
  Serial::FileStreamOut out(u"/nonexistent-dir/none.bin");
  EXPECT_EQ(out.write("abc", 3), 0u);
  Serial::GZFileStreamIn gzIn(u"/nonexistent-dir/none.gz");
  EXPECT_EQ(gzIn.read(buffer, 4), 0u);
}

TEST(FileStreams, PlainFileRoundTripWithBackslashPath) {
  const std::string native = testutil::TempPath("plain.serial");
  CString stored = CString::FromUtf8(native);
  stored.Replace(u'/', u'\\');  // stored paths keep Windows separators
  {
    Serial::FileStreamOut out(stored);
    ASSERT_TRUE(out.IsOpen());
    Serial::Binary::BinarySerialOut writer(out);
    CString text(u"file");
    Serial::Do(writer, text);
  }
  Serial::FileStreamIn in(stored);
  Serial::Binary::BinarySerialIn reader(in);
  CString text;
  EXPECT_TRUE(Serial::Do(reader, text));
  EXPECT_EQ(text, CString(u"file"));
  std::remove(native.c_str());
}

TEST(GZFileStreams, EveryLevelWritesStandardGzip) {
  Bytes payload;
  for (int i = 0; i < 50000; ++i) payload.push_back(static_cast<unsigned char>(i * 7 % 251));
  for (unsigned int level = 0; level <= 9; ++level) {
    const std::string path = testutil::TempPath("level" + std::to_string(level) + ".gz");
    {
      Serial::GZFileStreamOut out(CString::FromUtf8(path), level);
      ASSERT_TRUE(out.IsOpen());
      EXPECT_EQ(out.write(payload.data(), 1000), 1000u);
      EXPECT_EQ(out.write(payload.data() + 1000, 49000), 49000u);
    }
    // zlib itself reads it as gzip.
    gzFile raw = gzopen(path.c_str(), "rb");
    ASSERT_NE(raw, nullptr);
    Bytes back(payload.size() + 10);
    EXPECT_EQ(gzread(raw, back.data(), static_cast<unsigned int>(back.size())),
              static_cast<int>(payload.size()));
    EXPECT_EQ(gzdirect(raw), 0) << "level " << level;
    gzclose(raw);
    back.resize(payload.size());
    EXPECT_EQ(back, payload);

    Serial::GZFileStreamIn in(CString::FromUtf8(path));
    Bytes again(payload.size());
    EXPECT_EQ(in.read(again.data(), static_cast<unsigned int>(again.size())), payload.size());
    EXPECT_EQ(again, payload);
    std::remove(path.c_str());
  }
}

TEST(GZFileStreams, LevelAboveNineOpensNothing) {
  const std::string path = testutil::TempPath("level10.gz");
  std::remove(path.c_str());
  {
    Serial::GZFileStreamOut out(CString::FromUtf8(path), 10);
    EXPECT_FALSE(out.IsOpen());
    EXPECT_EQ(out.write("abc", 3), 0u);
  }
  std::ifstream probe(path);
  EXPECT_FALSE(probe.good());
}

}  // namespace

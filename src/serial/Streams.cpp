// File, memory and gzip byte streams. File streams own their handles and
// return 0 from every call when the file could not be opened.
#include "serial/Streams.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/FileSystem.h"

namespace Serial {

FileStreamIn::FileStreamIn(const char16_t* path)
    : file_(std::fopen(ToNativePath(path).c_str(), "rb")) {}

FileStreamIn::~FileStreamIn() {
  if (file_) std::fclose(file_);
}

unsigned int FileStreamIn::read(void* buffer, unsigned int count) {
  if (!file_) return 0;
  return static_cast<unsigned int>(std::fread(buffer, 1, count, file_));
}

FileStreamOut::FileStreamOut(const char16_t* path)
    : file_(std::fopen(ToNativePath(path).c_str(), "wb")) {}

FileStreamOut::~FileStreamOut() {
  if (file_) std::fclose(file_);
}

unsigned int FileStreamOut::write(const void* buffer, unsigned int count) {
  if (!file_) return 0;
  return static_cast<unsigned int>(std::fwrite(buffer, 1, count, file_));
}

unsigned int MemoryStreamIn::read(void* buffer, unsigned int count) {
  const unsigned int n = std::min(count, size_ - position_);
  if (n != 0) std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  return n;
}

unsigned int MemoryStreamOut::write(const void* buffer, unsigned int count) {
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  data_.insert(data_.end(), bytes, bytes + count);
  return count;
}

GZFileStreamIn::GZFileStreamIn(const char16_t* path)
    : handle_(gzopen(ToNativePath(path).c_str(), "rb")) {
  // A larger buffer than zlib's 8 KiB default halves the calls into the OS.
  if (handle_) gzbuffer(static_cast<gzFile>(handle_), 128 * 1024);
}

GZFileStreamIn::~GZFileStreamIn() {
  if (handle_) gzclose(static_cast<gzFile>(handle_));
}

unsigned int GZFileStreamIn::read(void* buffer, unsigned int count) {
  if (!handle_) return 0;
  const int n = gzread(static_cast<gzFile>(handle_), buffer, count);
  return n < 0 ? 0 : static_cast<unsigned int>(n);
}

GZFileStreamOut::GZFileStreamOut(const char16_t* path, unsigned int level) : handle_(nullptr) {
  if (level > 9) return;
  const std::string mode = "wb" + std::to_string(level);
  handle_ = gzopen(ToNativePath(path).c_str(), mode.c_str());
  if (handle_) gzbuffer(static_cast<gzFile>(handle_), 128 * 1024);
}

GZFileStreamOut::~GZFileStreamOut() {
  if (handle_) gzclose(static_cast<gzFile>(handle_));
}

unsigned int GZFileStreamOut::write(const void* buffer, unsigned int count) {
  if (!handle_ || count == 0) return 0;
  const int n = gzwrite(static_cast<gzFile>(handle_), buffer, count);
  return n < 0 ? 0 : static_cast<unsigned int>(n);
}

}  // namespace Serial

// File, memory and gzip byte streams. File streams own their handles and
// return 0 from every call when the file could not be opened.
#include "serial/Streams.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
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

namespace {

// Keeps the first failure: later ones are usually its consequences.
void Remember(int& error, int code) {
  if (error == 0) error = code != 0 ? code : EIO;
}

}  // namespace

FileStreamOut::FileStreamOut(const char16_t* path)
    : file_(std::fopen(ToNativePath(path).c_str(), "wb")) {
  if (!file_) Remember(error_, errno);
}

FileStreamOut::~FileStreamOut() { Close(); }

unsigned int FileStreamOut::write(const void* buffer, unsigned int count) {
  if (!file_) {
    if (count != 0) Remember(error_, EBADF);
    return 0;
  }
  const size_t n = std::fwrite(buffer, 1, count, file_);
  if (n != count) Remember(error_, errno);
  return static_cast<unsigned int>(n);
}

bool FileStreamOut::Close() {
  if (!file_) return IsGood();
  if (std::fflush(file_) != 0) Remember(error_, errno);
  if (std::fclose(file_) != 0) Remember(error_, errno);
  file_ = nullptr;
  closed_ = true;
  return error_ == 0;
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
  if (n < 0) failed_ = true;
  return n < 0 ? 0 : static_cast<unsigned int>(n);
}

bool GZFileStreamIn::ReadToEnd(std::string& reason) {
  if (!handle_) {
    reason = "cannot open";
    return false;
  }
  const auto file = static_cast<gzFile>(handle_);
  // A plain file read through has no trailer to check.
  if (gzdirect(file)) return !failed_;
  static constexpr unsigned int kChunk = 64 * 1024;
  std::unique_ptr<unsigned char[]> scratch(new unsigned char[kChunk]);
  int n = 0;
  while (!failed_ && (n = gzread(file, scratch.get(), kChunk)) > 0) {
  }
  if (n < 0) failed_ = true;
  // A cut-short file reads without an error count; zlib notes it as Z_BUF_ERROR.
  int code = Z_OK;
  const char* message = gzerror(file, &code);
  if (!failed_ && code == Z_OK) return true;
  failed_ = true;
  // zlib puts the path before its message; the caller names the file itself.
  std::string text = message ? message : "";
  const size_t colon = text.rfind(": ");
  if (colon != std::string::npos) text.erase(0, colon + 2);
  reason = code == Z_BUF_ERROR ? "gzip data cut short"
           : text.empty()      ? "gzip data damaged"
                               : "gzip data damaged: " + text;
  return false;
}

GZFileStreamOut::GZFileStreamOut(const char16_t* path, unsigned int level) : handle_(nullptr) {
  if (level > 9) {
    error_ = EINVAL;
    return;
  }
  const std::string mode = "wb" + std::to_string(level);
  errno = 0;
  handle_ = gzopen(ToNativePath(path).c_str(), mode.c_str());
  if (handle_) {
    // zlib compresses a write at least this large straight from the
    // caller's memory; a smaller one it first copies into its own buffer.
    // The binary writer hands on blocks of nearly 64 KiB.
    gzbuffer(static_cast<gzFile>(handle_), 32 * 1024);
  } else {
    Remember(error_, errno);
  }
}

GZFileStreamOut::~GZFileStreamOut() { Close(); }

unsigned int GZFileStreamOut::write(const void* buffer, unsigned int count) {
  if (count == 0) return 0;
  if (!handle_) {
    Remember(error_, EBADF);
    return 0;
  }
  errno = 0;
  const int n = gzwrite(static_cast<gzFile>(handle_), buffer, count);
  if (n <= 0 || static_cast<unsigned int>(n) != count) Remember(error_, errno);
  return n < 0 ? 0 : static_cast<unsigned int>(n);
}

bool GZFileStreamOut::Close() {
  if (!handle_) return IsGood();
  errno = 0;
  // gzclose writes the last block and the trailer: its failures count too.
  if (gzclose(static_cast<gzFile>(handle_)) != Z_OK) Remember(error_, errno);
  handle_ = nullptr;
  closed_ = true;
  return error_ == 0;
}

}  // namespace Serial

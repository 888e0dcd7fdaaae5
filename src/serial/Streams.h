// Byte streams under the serial format: plain files, gzip files and memory.
// Everything above sees only IStreamIn/IStreamOut, so a serial stream can
// live anywhere a byte stream can.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Serial {

// A source of bytes. A short count from read() is the only end-of-data signal.
class IStreamIn {
 public:
  virtual ~IStreamIn() = default;
  // Places up to `count` bytes in `buffer`; returns how many it placed.
  virtual unsigned int read(void* buffer, unsigned int count) = 0;
};

// A sink of bytes. Errors show only in the returned count.
class IStreamOut {
 public:
  virtual ~IStreamOut() = default;
  virtual unsigned int write(const void* buffer, unsigned int count) = 0;
};

// Reads a file. A file that cannot be opened reads as empty.
class FileStreamIn : public IStreamIn {
 public:
  explicit FileStreamIn(const char16_t* path);
  ~FileStreamIn() override;
  FileStreamIn(const FileStreamIn&) = delete;
  FileStreamIn& operator=(const FileStreamIn&) = delete;
  unsigned int read(void* buffer, unsigned int count) override;
  bool IsOpen() const { return file_ != nullptr; }

 private:
  FILE* file_;
};

// Creates or truncates a file. A file that cannot be opened writes nothing.
// The stream remembers whether any byte was lost, so a caller that needs to
// know ends with Close() instead of trusting each count.
class FileStreamOut : public IStreamOut {
 public:
  explicit FileStreamOut(const char16_t* path);
  ~FileStreamOut() override;
  FileStreamOut(const FileStreamOut&) = delete;
  FileStreamOut& operator=(const FileStreamOut&) = delete;
  unsigned int write(const void* buffer, unsigned int count) override;
  bool IsOpen() const { return file_ != nullptr; }
  // False once a write, flush or close lost bytes, or the file never opened.
  // Error() holds the errno of the first failure (of the open, too).
  bool IsGood() const { return (file_ != nullptr || closed_) && error_ == 0; }
  // Flushes and closes the file; true when every byte reached it. Later
  // writes are lost and make IsGood() false.
  bool Close();
  int Error() const { return error_; }

 private:
  FILE* file_;
  bool closed_ = false;
  int error_ = 0;
};

// Reads the caller's bytes, which must outlive the stream.
class MemoryStreamIn : public IStreamIn {
 public:
  MemoryStreamIn(const unsigned char* data, unsigned int size)
      : data_(data), size_(size), position_(0) {}
  unsigned int read(void* buffer, unsigned int count) override;
  // The unread bytes where they lie, which then count as read: a reader
  // that would copy them into blocks uses them in place instead.
  const unsigned char* TakeRest(unsigned int& size) {
    size = size_ - position_;
    const unsigned char* rest = data_ + position_;
    position_ = size_;
    return rest;
  }

 private:
  const unsigned char* data_;
  unsigned int size_;
  unsigned int position_;
};

namespace Binary {
class BinarySerialOut;
}

// Collects written bytes in memory; the stream owns them. A BinarySerialOut
// writes straight into the stream's memory instead of copying blocks in.
class MemoryStreamOut : public IStreamOut {
 public:
  MemoryStreamOut() = default;
  // Starts in `scratch`'s memory, whose bytes are written over, not kept: a
  // caller that saves again and again keeps one buffer and its pages.
  explicit MemoryStreamOut(std::vector<unsigned char> scratch) : data_(std::move(scratch)) {}
  MemoryStreamOut(const MemoryStreamOut&) = delete;
  MemoryStreamOut& operator=(const MemoryStreamOut&) = delete;
  // Appends. Takes nothing (returns 0) while a BinarySerialOut is writing
  // here: its unfinished bytes lie where these would go.
  unsigned int write(const void* buffer, unsigned int count) override;
  const unsigned char* bytes() const { return data_.data(); }
  size_t size() const { return size_; }
  // The bytes written, handed over; the stream is empty after. Throws
  // std::logic_error while a BinarySerialOut is writing here.
  std::vector<unsigned char> Take();

 private:
  friend class Binary::BinarySerialOut;
  // Lends the writer the room after the written bytes, at least `least`
  // bytes up to `end`; null when another writer holds it already.
  unsigned char* Lend(size_t least, unsigned char*& end);
  // Counts the lent room up to `to` as written; the rest stays lent.
  void Keep(const unsigned char* to) { size_ = static_cast<size_t>(to - data_.data()); }
  void Return() { lent_ = false; }

  std::vector<unsigned char> data_;  // the first size_ bytes are written; the rest is room
  size_t size_ = 0;
  bool lent_ = false;
};

// Reads a gzip file (a plain file reads through unchanged, as zlib does).
class GZFileStreamIn : public IStreamIn {
 public:
  explicit GZFileStreamIn(const char16_t* path);
  ~GZFileStreamIn() override;
  GZFileStreamIn(const GZFileStreamIn&) = delete;
  GZFileStreamIn& operator=(const GZFileStreamIn&) = delete;
  unsigned int read(void* buffer, unsigned int count) override;
  bool IsOpen() const { return handle_ != nullptr; }
  // Reads what is left and checks the gzip trailer: false when the data is
  // damaged, cut short, or a read already failed; `reason` then says why.
  // A reader may stop well before the end, so only this proves the file whole.
  bool ReadToEnd(std::string& reason);

 private:
  void* handle_;  // gzFile; kept opaque so that callers need no zlib header
  bool failed_ = false;
};

// Writes a gzip file at compression `level` 0 to 9; a level above 9 opens
// nothing and creates no file. Remembers lost bytes as FileStreamOut does.
// zlib compresses on a thread of the stream's own while the caller produces
// the next bytes (inline when no thread can be started): write() takes a
// copy and returns at once, so a compression or disk failure shows in the
// next write, IsGood(), Error() and Close().
class GZFileStreamOut : public IStreamOut {
 public:
  GZFileStreamOut(const char16_t* path, unsigned int level);
  ~GZFileStreamOut() override;
  GZFileStreamOut(const GZFileStreamOut&) = delete;
  GZFileStreamOut& operator=(const GZFileStreamOut&) = delete;
  unsigned int write(const void* buffer, unsigned int count) override;
  bool IsOpen() const { return handle_ != nullptr; }
  bool IsGood() const { return (handle_ != nullptr || closed_) && error_ == 0; }
  // Compresses what is left, writes the gzip trailer and closes; true when
  // every byte reached the file.
  bool Close();
  int Error() const { return error_; }

 private:
  class Deflater;
  void Hand();

  void* handle_;  // gzFile
  bool closed_ = false;
  int error_ = 0;
  std::vector<unsigned char> batch_;  // bytes not yet handed to the deflater
  std::unique_ptr<Deflater> deflater_;
};

}  // namespace Serial

// File, memory and gzip byte streams. File streams own their handles and
// return 0 from every call when the file could not be opened.
#include "serial/Streams.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

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

namespace {

// Grows `data` to hold at least `least` bytes, doubling so that appending
// stays linear. Only bytes past its size are zeroed: a scratch vector's own
// bytes are written over as they are.
void GrowTo(std::vector<unsigned char>& data, size_t least) {
  if (data.size() >= least) return;
  data.resize(std::max({least, data.size() * 2, size_t{4096}}));
}

}  // namespace

unsigned int MemoryStreamOut::write(const void* buffer, unsigned int count) {
  if (lent_ || count == 0) return 0;
  GrowTo(data_, size_ + count);
  std::memcpy(data_.data() + size_, buffer, count);
  size_ += count;
  return count;
}

std::vector<unsigned char> MemoryStreamOut::Take() {
  if (lent_) throw std::logic_error("a binary writer is still writing into this memory stream");
  data_.resize(size_);
  size_ = 0;
  std::vector<unsigned char> taken = std::move(data_);
  data_.clear();
  return taken;
}

unsigned char* MemoryStreamOut::Lend(size_t least, unsigned char*& end) {
  if (lent_) return nullptr;
  GrowTo(data_, size_ + least);
  lent_ = true;
  end = data_.data() + data_.size();
  return data_.data() + size_;
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

// Compresses batches on its own thread: a batch is handed over while the
// caller fills the next, so encoding and deflate overlap on two cores.
class GZFileStreamOut::Deflater {
 public:
  explicit Deflater(gzFile file) : file_(file), thread_([this] { Run(); }) {}
  ~Deflater() { Finish(); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Waits until the thread has taken the last batch, then gives it `batch`
  // (which gets back an empty buffer to refill). Returns the errno of the
  // first failed write so far, or 0.
  int Hand(std::vector<unsigned char>& batch) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !full_; });
    handed_.swap(batch);
    full_ = true;
    const int error = error_;
    lock.unlock();
    changed_.notify_all();
    batch.clear();
    return error;
  }
  // Compresses what was handed and stops the thread; the errno of the first
  // failed write, or 0.
  int Finish() {
    if (thread_.joinable()) {
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
      }
      changed_.notify_all();
      thread_.join();
    }
    return error_;
  }

 private:
  void Run() {
    std::vector<unsigned char> batch;
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return full_ || done_; });
        if (!full_) return;
        batch.swap(handed_);
        full_ = false;
      }
      changed_.notify_all();
      int error = 0;
      if (!batch.empty()) {
        errno = 0;
        const int n = gzwrite(file_, batch.data(), static_cast<unsigned int>(batch.size()));
        if (n < 0 || static_cast<size_t>(n) != batch.size()) error = errno != 0 ? errno : EIO;
      }
      batch.clear();
      if (error != 0) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (error_ == 0) error_ = error;
      }
    }
  }

  gzFile file_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<unsigned char> handed_;
  bool full_ = false;  // handed_ holds a batch the thread has not taken
  bool done_ = false;
  int error_ = 0;
  std::thread thread_;  // last: starts once the members above exist
};

namespace {
// Large enough that zlib deflates a batch in place (see gzbuffer below) and
// the hand-overs cost nothing; small enough to stay in cache.
constexpr size_t kBatch = 256 * 1024;
}  // namespace

GZFileStreamOut::GZFileStreamOut(const char16_t* path, unsigned int level) : handle_(nullptr) {
  if (level > 9) {
    error_ = EINVAL;
    return;
  }
  const std::string mode = "wb" + std::to_string(level);
  errno = 0;
  handle_ = gzopen(ToNativePath(path).c_str(), mode.c_str());
  if (!handle_) {
    Remember(error_, errno);
    return;
  }
  // zlib compresses a write at least this large straight from the caller's
  // memory; a smaller one it first copies into its own buffer.
  gzbuffer(static_cast<gzFile>(handle_), 32 * 1024);
  try {
    deflater_ = std::make_unique<Deflater>(static_cast<gzFile>(handle_));
    batch_.reserve(kBatch);
  } catch (const std::system_error&) {
    deflater_.reset();  // no thread to be had: compress inline
  }
}

GZFileStreamOut::~GZFileStreamOut() { Close(); }

void GZFileStreamOut::Hand() {
  if (batch_.empty()) return;
  if (const int error = deflater_->Hand(batch_)) Remember(error_, error);
}

unsigned int GZFileStreamOut::write(const void* buffer, unsigned int count) {
  if (count == 0) return 0;
  if (!handle_) {
    Remember(error_, EBADF);
    return 0;
  }
  if (deflater_) {
    if (error_ != 0) return 0;  // the file is lost already
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    batch_.insert(batch_.end(), bytes, bytes + count);
    if (batch_.size() >= kBatch) Hand();
    return count;
  }
  errno = 0;
  const int n = gzwrite(static_cast<gzFile>(handle_), buffer, count);
  if (n <= 0 || static_cast<unsigned int>(n) != count) Remember(error_, errno);
  return n < 0 ? 0 : static_cast<unsigned int>(n);
}

bool GZFileStreamOut::Close() {
  if (!handle_) return IsGood();
  if (deflater_) {
    Hand();
    if (const int error = deflater_->Finish()) Remember(error_, error);
    deflater_.reset();
  }
  errno = 0;
  // gzclose writes the last block and the trailer: its failures count too.
  if (gzclose(static_cast<gzFile>(handle_)) != Z_OK) Remember(error_, errno);
  handle_ = nullptr;
  closed_ = true;
  return error_ == 0;
}

}  // namespace Serial

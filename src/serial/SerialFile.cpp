// Safe saving and checked loading of serial files over the file streams.
#include "serial/SerialFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <new>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

namespace Serial {

namespace {

// Runs the writer over one open stream; the writer's end closes "Root".
template <typename Stream>
bool WriteAll(Stream& stream, const std::function<bool(ISerialStream&)>& body, bool& bodyOk) {
  {
    Binary::BinarySerialOut writer(stream);
    bodyOk = body(writer);
  }
  return stream.Close();
}

}  // namespace

bool SaveSerialFile(const CString& path, int level,
                    const std::function<bool(ISerialStream&)>& body, CString& error) {
  if (level < kPlainFile || level > 9) {
    error = ErrnoText(EINVAL);
    return false;
  }
  CAtomicFile file(path);
  if (!file.Open(error)) return false;
  bool bodyOk = true;
  bool written = false;
  int code = 0;
  try {
    if (level == kPlainFile) {
      FileStreamOut stream(file.WritePath());
      written = WriteAll(stream, body, bodyOk);
      code = stream.Error();
    } else {
      GZFileStreamOut stream(file.WritePath(), static_cast<unsigned int>(level));
      written = WriteAll(stream, body, bodyOk);
      code = stream.Error();
    }
  } catch (const std::bad_alloc&) {
    code = ENOMEM;
  }
  if (!written || code != 0) {
    error = ErrnoText(code != 0 ? code : EIO);
    return false;
  }
  if (!bodyOk) {
    error = u"a value could not be written in the serial format";
    return false;
  }
  return file.Commit(error);
}

bool LoadSerialFile(const CString& path, const std::function<bool(ISerialStream&)>& body,
                    CString& error, const char16_t* what) {
  struct stat st;
  if (stat(ToNativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error = ErrnoText(EISDIR);
    return false;
  }
  // zlib reads a plain file through unchanged, so one stream serves both.
  GZFileStreamIn stream(path);
  if (!stream.IsOpen()) {
    error = u"cannot open: " + ErrnoText(errno);
    return false;
  }
  bool ok = false;
  try {
    Binary::BinarySerialIn reader(stream);
    ok = body(reader);
  } catch (const Exceptions::FormatIO&) {
  } catch (const std::bad_alloc&) {
    error = ErrnoText(ENOMEM);
    return false;
  }
  std::string reason;
  // The gzip trailer first: a damaged file says so even where its bytes
  // also break the format.
  if (!stream.ReadToEnd(reason)) {
    error = CString::FromUtf8(reason);
    return false;
  }
  if (!ok) {
    error = u"not a valid " + CString(what);
    return false;
  }
  return true;
}

}  // namespace Serial

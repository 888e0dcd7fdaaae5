// Mapping of stored (Windows-style) paths to the native form at the point
// where a system call is made.
#include "platform/FileSystem.h"

#include "platform/CString.h"

std::string ToNativePath(const char16_t* path) {
  std::string native = CString(path).ToUtf8();
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

// Files and folders of this machine as the Windows file calls would have
// answered: temporary names, existence, removal, whole-file transfer, the
// program's own path. Native (UTF-8, slash) paths only; callers convert.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CString.h"

namespace Files {

// Stored (backslash) form of a native path: every slash becomes a backslash.
// The inverse of ToNativePath.
CString FromNativePath(std::string_view native);

// The folder for temporary files: $TMPDIR when set and not empty, else /tmp.
// No trailing slash.
std::string TempDir();
// Creates an empty file `dir`/`prefix`XXXXXX`suffix` with a unique middle
// part and returns its path; empty with errno set when none can be made.
std::string CreateUniqueFile(const std::string& dir, const std::string& prefix,
                             const std::string& suffix);
// Creates the folder (mode 0777 less the umask). Returns 0 or the errno.
int MakeDir(const std::string& path);

// True when anything (file, folder, link) exists at `path`.
bool Exists(const std::string& path);
// Removes a non-folder; false with errno set on failure.
bool RemoveFile(const std::string& path);
// Removes an empty folder; false with errno set on failure.
bool RemoveDir(const std::string& path);
// Removes everything inside the folder `dir`, depth first, without following
// symbolic links; `dir` itself stays. False when something could not go.
bool RemoveContents(const std::string& dir);
// Absolute path with links and "." / ".." resolved; empty when it does not
// exist.
std::string RealPath(const std::string& path);

// Content of a file, at most `maxBytes` of it; false (and `data` untouched)
// when it cannot be opened or read.
bool ReadAll(const std::string& path, std::vector<unsigned char>& data, size_t maxBytes = SIZE_MAX);
// Creates or truncates the file and writes `size` bytes; false when opening,
// writing or closing fails.
bool WriteAll(const std::string& path, const unsigned char* data, size_t size);

// Absolute path of the running program; empty when unknown.
std::string ProgramPath();
// The user's local application-data folder ($XDG_DATA_HOME, else
// $HOME/.local/share), no trailing slash; empty when neither is set.
std::string LocalAppDataDir();

// The errno of the last failed call, and the system text of an error number.
int LastError();
std::string ErrorText(int error);

// The PE image checksum of `image` as the image-help library computes it:
// 16-bit word sum with carries folded back, the header's CheckSum field left
// out (its four bytes count as zeros, wherever the header puts them), plus the
// length in bytes. An odd last byte counts as a word with a zero high byte.
// Data that is not a PE image is summed whole.
uint32_t PeCheckSum(const unsigned char* image, size_t size);

}  // namespace Files

// Paths as the tool stores them (Windows texts, backslashes), temporary files
// and folders, and whole-file reading, writing and checksums. Stored paths
// become native only inside these functions, at the system call.
#pragma once

#include "platform/CString.h"

// Path texts. Splitting follows the Windows rules: an optional drive "X:",
// the folder up to the last separator (backslash or slash), the name, and the
// extension from the name's last dot.

// Drive and folder of `path`, with the trailing separator: C:\a\b.txt gives
// C:\a\.
CString ExtractFileDir(const char16_t* path);
// The file name without extension: C:\a\b.txt gives b.
CString ExtractFileName(const char16_t* path);
// The extension with its dot (.txt); empty when there is none.
CString ExtractFileExt(const char16_t* path);
// Folder of the running program, with a trailing backslash.
CString GetProgramDir();
// The user's local application-data folder, no trailing backslash; empty
// when unknown.
CString GetLocalAppDataDir();

// Slashes become backslashes, doubled backslashes after the first character
// are halved in one left-to-right pass (so a UNC opening survives), one
// trailing backslash goes. Case, "." and ".." are left alone.
CString NormalizePath(const CString& path);
// True for "X:\...", a UNC path, a bare drive "X:", and, because this machine
// has a single root, a path that starts with one separator.
bool IsPathAbsolute(const CString& path);
// Equal after NormalizePath and lower-casing.
bool IsEqualPath(const CString& a, const CString& b);
// `path` resolved against the folder `base` when relative, "." and ".."
// resolved, normalized. A path containing '<' is a placeholder resolved
// elsewhere and comes back unchanged.
CString GetAbsolutePath(const CString& base, const CString& path);
// `path` (a file) relative to the folder `fromDir`: C:\p\ and C:\p\sub\f.txt
// give .\sub\f.txt. Components compare without case. Returns `path`
// unchanged when the two have no common root.
CString GetRelativePath(const CString& fromDir, const CString& path);
// `path` without one trailing separator; a root ("C:\", "\") keeps it.
CString DeleteLastSlash(const CString& path);

// A unique name "LOC....tmp" in the temporary folder; the file itself does
// not exist when this returns. Empty when no name can be made.
CString getTempFileName();  // NOLINT: the name callers know
// Creates a new empty folder "loc..." in the temporary folder and returns it
// with a trailing backslash; empty on failure, after telling the user in a
// message box why.
CString CreateTempDir();
// True when nothing exists at `path`. Otherwise asks the user (string
// resource 313 formatted with the path, Yes/No); No gives false, Yes deletes
// the file. A failed deletion sends string resource 314 to the message panel
// as an error report and gives false.
bool DeleteFileIfExists(CString path);
// Deletes everything inside `dir`, then `dir`. Failures are ignored.
void DeleteFolder(const CString& dir);

// The whole file in a new[] array owned by the caller, `size` its length;
// null (and `size` untouched) when the file cannot be read.
unsigned char* ReadFile(const char16_t* path, int& size);
// Creates or truncates the file and writes `size` bytes (none when `size` is
// 0 or less); false when opening, writing or closing fails.
bool WriteFile(const char16_t* path, const unsigned char* data, int size);
// The PE image checksum computed over the file NormalizePath(path) (not the
// value its header claims); 0 when the file is missing, empty or unreadable.
unsigned long GetChecksum(const CString& path);

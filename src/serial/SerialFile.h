// Whole serial files: saving one object so that a failed save leaves the
// file before it untouched, and loading one with every byte checked.
#pragma once

#include <functional>

#include "platform/CString.h"
#include "serial/ISerialStream.h"

namespace Serial {

// The `level` of SaveSerialFile for an uncompressed file; 0 to 9 are gzip.
constexpr int kPlainFile = -1;

// Writes `body`'s object under a BinarySerialOut into a temporary file
// beside `path`, checks every write, the close and an fsync, then renames it
// over `path` (see CAtomicFile for links and special files). False when the
// body returns false or any byte is lost; `error` then holds the reason and
// an existing file at `path` is byte-identical to what it was.
bool SaveSerialFile(const CString& path, int level,
                    const std::function<bool(ISerialStream&)>& body, CString& error);

// Reads a plain or gzip serial file under a BinarySerialIn and runs `body`
// on it. For gzip the rest of the file is read and its checksum and length
// checked, however early the body stops. False, with the reason in `error`,
// for a missing file, malformed bytes (FormatIO), a false body, exhausted
// memory or damaged gzip data. `what` names the kind of file in the reason
// for bytes that do not fit: "not a valid <what>".
bool LoadSerialFile(const CString& path, const std::function<bool(ISerialStream&)>& body,
                    CString& error, const char16_t* what = u"serial file");

}  // namespace Serial

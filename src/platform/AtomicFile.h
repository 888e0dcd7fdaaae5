// Replacing a file so that a failed save never destroys the one before: the
// new content goes to a temporary file beside the target, is made durable,
// and only then takes the target's place.
#pragma once

#include <string>

#include "platform/CString.h"

// One save of one file. A missing or regular target is replaced atomically,
// keeping an existing target's permission bits; a symbolic link has the file
// it points to replaced, not the link; a target that exists but is not a
// regular file (a device, a pipe) is written in place, since renaming over
// it would be wrong. An uncommitted temporary file is removed on destruction.
class CAtomicFile {
 public:
  explicit CAtomicFile(const CString& target);
  ~CAtomicFile();
  CAtomicFile(const CAtomicFile&) = delete;
  CAtomicFile& operator=(const CAtomicFile&) = delete;

  // Creates the empty temporary file. False, with the reason, when the
  // target's folder cannot take it.
  bool Open(CString& error);
  // Where the new content is written: the temporary file, or the target
  // itself when written in place. Valid after Open().
  const CString& WritePath() const { return writePath_; }
  bool InPlace() const { return inPlace_; }
  // Flushes the written file to the disk and renames it over the target.
  // False, with the reason, when that fails; the temporary file is then gone
  // and the target is as it was.
  bool Commit(CString& error);
  // Removes the temporary file; the target stays as it was.
  void Discard();

 private:
  std::string target_;  // native, symbolic links resolved
  std::string temp_;    // native; empty when there is none
  CString writePath_;
  bool inPlace_ = false;
  bool exists_ = false;
  unsigned int mode_ = 0;  // permission bits of an existing target
};

// The text of an errno value, for the reasons the file functions give.
CString ErrnoText(int error);

// Path texts are handled here in their stored Windows form; the file system
// is reached only through the platform layer, with ToNativePath applied at
// the last moment so that both forms of separator work.
#include "services/PathUtil.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "services/Messaging.h"
#include "services/MiscUtil.h"
#include "text/StrUtil.h"

namespace {

bool IsSep(char16_t c) { return c == u'\\' || c == u'/'; }

struct SplitPath {
  CString drive, dir, name, ext;
};

SplitPath Split(const CString& path) {
  SplitPath parts;
  int pos = 0;
  if (path.GetLength() >= 2 && path[1] == u':') {
    parts.drive = path.Left(2);
    pos = 2;
  }
  int lastSep = -1;
  for (int i = pos; i < path.GetLength(); ++i) {
    if (IsSep(path[i])) lastSep = i;
  }
  if (lastSep >= 0) {
    parts.dir = path.Mid(pos, lastSep + 1 - pos);
    pos = lastSep + 1;
  }
  const CString file = path.Mid(pos);
  const int dot = file.ReverseFind(u'.');
  parts.name = dot >= 0 ? file.Left(dot) : file;
  parts.ext = dot >= 0 ? file.Mid(dot) : CString();
  return parts;
}

// The root of `path` as written ("C:\", "C:", "\\", "\" or "/"); empty
// for a relative path.
CString RootOf(const CString& path) {
  if (path.GetLength() >= 2 && path[1] == u':') {
    return path.GetLength() >= 3 && IsSep(path[2]) ? path.Left(3) : path.Left(2);
  }
  if (path.GetLength() >= 2 && IsSep(path[0]) && IsSep(path[1])) return path.Left(2);
  if (!path.IsEmpty() && IsSep(path[0])) return path.Left(1);
  return CString();
}

std::vector<CString> Components(const CString& rest) {
  std::vector<CString> parts(1);
  for (int i = 0; i < rest.GetLength(); ++i) {
    if (IsSep(rest[i])) {
      parts.emplace_back();
    } else {
      parts.back() += rest[i];
    }
  }
  return parts;
}

CString Join(const std::vector<CString>& parts, size_t first) {
  CString joined;
  for (size_t i = first; i < parts.size(); ++i) {
    if (i > first) joined += u'\\';
    joined += parts[i];
  }
  return joined;
}

// Resolves "." and ".." textually, as PathCanonicalizeW: ".." never climbs
// above the root, and the separators after the root become backslashes.
CString Canonicalize(const CString& path) {
  const CString root = RootOf(path);
  std::vector<CString> out;
  for (CString& part : Components(path.Mid(root.GetLength()))) {
    if (part == u".") continue;
    if (part == u"..") {
      if (!out.empty() && out.back() != u"..") {
        out.pop_back();
      } else if (root.IsEmpty()) {
        out.push_back(part);
      }
      continue;
    }
    out.push_back(std::move(part));
  }
  // A trailing "." or ".." leaves the folder it names, with its separator.
  const CString last = Components(path.Mid(root.GetLength())).back();
  if ((last == u"." || last == u"..") && !out.empty()) out.emplace_back();
  return root + Join(out, 0);
}

// The C runtime's texts for the errors a failed folder creation can give;
// keyed by name because the numbers differ between systems.
const char16_t* ErrnoText(int error) {
  switch (error) {
    case ENOENT:
      return u"No such file or directory";
    case E2BIG:
      return u"Argument list too long";
    case ENOEXEC:
      return u"Exec format error";
    case EBADF:
      return u"Bad file number";
    case ECHILD:
      return u"No spawned processes";
    case EAGAIN:
      return u"No more processes or not enough memory or maximum nesting level reached";
    case ENOMEM:
      return u"Not enough memory";
    case EACCES:
      return u"Permission denied";
    case EEXIST:
      return u"File exists";
    case EXDEV:
      return u"Cross-device link";
    case EINVAL:
      return u"Invalid argument";
    case EMFILE:
      return u"Too many open files";
    case ENOSPC:
      return u"No space left on device";
    case EDOM:
      return u"Math argument";
    case ERANGE:
      return u"Result too large";
    case EDEADLK:
      return u"Resource deadlock would occur";
    default:
      return u"Unknown error";
  }
}

}  // namespace

CString ExtractFileDir(const char16_t* path) {
  const SplitPath parts = Split(CString(path));
  return parts.drive + parts.dir;
}

CString ExtractFileName(const char16_t* path) { return Split(CString(path)).name; }

CString ExtractFileExt(const char16_t* path) { return Split(CString(path)).ext; }

CString GetProgramDir() {
  const std::string program = Files::ProgramPath();
  if (program.empty()) return CString();
  return ExtractFileDir(Files::FromNativePath(program));
}

CString GetLocalAppDataDir() { return Files::FromNativePath(Files::LocalAppDataDir()); }

CString NormalizePath(const CString& path) {
  if (path.IsEmpty()) return path;
  // The first character stays out of the halving so that a UNC opening
  // survives; a leading slash still becomes a backslash, so that native
  // paths (which all start with one here) compare equal to stored ones.
  CString rest = path;
  rest.Replace(u'/', u'\\');
  const char16_t first = rest[0];
  rest.Delete(0);
  rest.Replace(u"\\\\", u"\\");
  CString result = first + rest;
  if (result[result.GetLength() - 1] == u'\\') result.Delete(result.GetLength() - 1);
  return result;
}

bool IsPathAbsolute(const CString& path) {
  if (!path.IsEmpty() && IsSep(path[0])) return true;
  if (path.Find(u":\\") >= 0 || path.Find(u":/") >= 0) return true;
  return path.GetLength() == 2 && path[1] == u':';
}

bool IsEqualPath(const CString& a, const CString& b) {
  CString left = NormalizePath(a);
  CString right = NormalizePath(b);
  CStrUtil::MakeLower(left, -1);
  CStrUtil::MakeLower(right, -1);
  return left == right;
}

CString GetAbsolutePath(const CString& base, const CString& path) {
  if (path.Find(u'<') >= 0) return path;
  const CString candidate = IsPathAbsolute(path) ? path : NormalizePath(base) + u'\\' + path;
  return NormalizePath(Canonicalize(candidate));
}

CString GetRelativePath(const CString& fromDir, const CString& path) {
  const CString fromRoot = RootOf(fromDir);
  const CString toRoot = RootOf(path);
  CString a = fromRoot, b = toRoot;
  a.Replace(u'/', u'\\');
  b.Replace(u'/', u'\\');
  if (a.CompareNoCase(b) != 0) return path;

  std::vector<CString> from, to;
  for (CString& part : Components(fromDir.Mid(fromRoot.GetLength()))) {
    if (!part.IsEmpty()) from.push_back(std::move(part));
  }
  for (CString& part : Components(path.Mid(toRoot.GetLength()))) {
    if (!part.IsEmpty()) to.push_back(std::move(part));
  }
  size_t common = 0;
  while (common < from.size() && common < to.size() &&
         from[common].CompareNoCase(to[common]) == 0) {
    ++common;
  }
  // Two relative paths are related only through a first folder they share.
  if (fromRoot.IsEmpty() && common == 0) return path;

  CString result = common == from.size() ? CString(u".") : CString();
  for (size_t i = common; i < from.size(); ++i) result += i == common ? u".." : u"\\..";
  if (common < to.size()) result += u'\\' + Join(to, common);
  if (!result.IsEmpty() && result[0] == u'\\') result.Delete(0);
  return result;
}

CString DeleteLastSlash(const CString& path) {
  const int n = path.GetLength();
  if (n == 0 || !IsSep(path[n - 1])) return path;
  if (n == 1 || (n == 3 && path[1] == u':')) return path;  // a root keeps its separator
  return path.Left(n - 1);
}

CString getTempFileName() {
  const std::string file = Files::CreateUniqueFile(Files::TempDir(), "LOC", ".tmp");
  if (file.empty()) return CString();
  Files::RemoveFile(file);
  return Files::FromNativePath(file);
}

CString CreateTempDir() {
  const std::string tempDir = Files::TempDir();
  const std::string file = Files::CreateUniqueFile(tempDir, "LOC", ".tmp");
  std::string dir;
  int error = 0;
  if (file.empty()) {
    error = Files::LastError();
    dir = tempDir;
  } else {
    // Only the name we made is lower-cased: the folders above it are real
    // names on a case-sensitive file system.
    dir = file.substr(0, file.size() - 4);
    for (size_t i = tempDir.size() + 1; i < dir.size(); ++i) {
      if (dir[i] >= 'A' && dir[i] <= 'Z') dir[i] = static_cast<char>(dir[i] - 'A' + 'a');
    }
    Files::RemoveFile(file);
    Files::RemoveFile(dir);
    error = Files::MakeDir(dir);
  }
  if (error != 0) {
    CString text;
    text.Format(u"Can't create directory in temp: \"%s\" (%s)",
                Files::FromNativePath(dir).GetString(), ErrnoText(error));
    MsgBox::Show(text, MsgBox::MB_OK);
    return CString();
  }
  const std::string longForm = Files::RealPath(dir);
  if (longForm.empty()) return CString();
  return Files::FromNativePath(longForm) + u'\\';
}

bool DeleteFileIfExists(CString path) {
  const std::string native = ToNativePath(path);
  if (!Files::Exists(native)) return true;
  CString question;
  question.Format(L(313), path.GetString());
  if (MsgBox::Show(question, MsgBox::MB_YESNO) != MsgBox::IDYES) return false;
  if (Files::RemoveFile(native)) return true;
  SendToMessagePanel(L(314), CMessagePanelMsg::ErrorReport);
  return false;
}

void DeleteFolder(const CString& dir) {
  const std::string native = ToNativePath(NormalizePath(dir));
  // Never empty the root: a stray empty or "\" argument must not wipe a disk.
  const std::string resolved = Files::RealPath(native);
  if (resolved.empty() || resolved == "/") return;
  Files::RemoveContents(resolved);
  Files::RemoveDir(resolved);
}

unsigned char* ReadFile(const char16_t* path, int& size) {
  std::vector<unsigned char> data;
  if (!Files::ReadAll(ToNativePath(path), data)) return nullptr;
  auto* copy = new unsigned char[data.size()];
  std::copy(data.begin(), data.end(), copy);
  size = static_cast<int>(data.size());
  return copy;
}

bool WriteFile(const char16_t* path, const unsigned char* data, int size) {
  return Files::WriteAll(ToNativePath(path), data, size > 0 ? static_cast<size_t>(size) : 0);
}

unsigned long GetChecksum(const CString& path) {
  std::vector<unsigned char> image;
  if (!Files::ReadAll(ToNativePath(NormalizePath(path)), image) || image.empty()) return 0;
  return Files::PeCheckSum(image.data(), image.size());
}

// The system services of the tool on top of the platform layer: external
// programs with their output routed to the message panel, registry readers,
// resources by number, and the run report file.
#include "services/MiscUtil.h"

#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/StringResources.h"
#include "services/Messaging.h"

namespace {

// Chunks the size the Windows original read, so that lines arrive in the
// same rhythm.
constexpr size_t kReadChunk = 10000;

// Length of the part of `bytes` that ends on a whole UTF-8 sequence; a
// sequence split between two reads waits for the rest.
size_t CompleteUtf8Length(std::string_view bytes) {
  const size_t n = bytes.size();
  for (size_t back = 1; back <= 4 && back <= n; ++back) {
    const auto c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte: look further back
    const size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return need > back ? n - back : n;
  }
  return n;
}

// True when `valueName` of the key can be read under HKEY_LOCAL_MACHINE;
// `value` receives its first 4 bytes.
bool ReadNetfxValue(const char16_t* subKey, const char16_t* valueName, Registry::DWORD* value) {
  using namespace Registry;
  HKEY key = 0;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_ALL_ACCESS_NO_SYNC, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof data;
  const LONG rc = RegQueryValueExW(key, valueName, nullptr, &type,
                                   reinterpret_cast<unsigned char*>(&data), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  if (value != nullptr) *value = size == sizeof data ? data : 0;
  return true;
}

}  // namespace

CString ReadRegistryStr(Registry::HKEY root, const char16_t* subKey, const char16_t* valueName) {
  using namespace Registry;
  HKEY key = 0;
  if (RegOpenKeyExW(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return CString();
  CString text;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    char16_t* buffer = text.GetBufferSetLength(static_cast<int>(size / 2));
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<unsigned char*>(buffer),
                         &size) != ERROR_SUCCESS) {
      size = 0;
    }
    text.ReleaseBuffer(static_cast<int>(size / 2));  // and cut at the first zero
    text = CString(text.GetString());
  }
  RegCloseKey(key);
  return text;
}

CString GetLastErrorStr() { return CString::FromUtf8(Files::ErrorText(Files::LastError())); }

CString L(int id) { return StringResources::Load(id); }

std::string LA(int id) { return StringResources::Load(id).ToUtf8(); }

void GetLngStr(CString& out, const std::vector<int>& langs) {
  if (langs.empty()) return;
  out.Format(u"%d", langs[0]);
  for (size_t i = 1; i < langs.size(); ++i) out.AppendFormat(u", %d", langs[i]);
}

bool ExecuteExternalFileEx(unsigned long& exitCode, CString& output, bool reportLines,
                           const char16_t* file, const char16_t* params, const char16_t* dir) {
  const CString commandLine = CString(file) + u" " + CString(params);
  std::vector<std::string> argv;
  for (const CString& arg : Process::CommandLineToArgv(commandLine)) argv.push_back(arg.ToUtf8());
  if (argv.empty()) return false;

  CString text;
  std::string pending;  // bytes of a character not yet complete
  int reported = 0;
  const auto onOutput = [&](const char* bytes, size_t size) {
    pending.append(bytes, size);
    const size_t complete = CompleteUtf8Length(pending);
    text += CString::FromUtf8(std::string_view(pending).substr(0, complete));
    pending.erase(0, complete);
    if (!reportLines) return;
    const size_t lastBreak = text.view().find_last_of(u"\r\n");
    if (lastBreak == std::u16string_view::npos || static_cast<int>(lastBreak) < reported) return;
    const int end = static_cast<int>(lastBreak) + 1;
    SendToMessagePanel(text.Mid(reported, end - reported), CMessagePanelMsg::ProcessOutput);
    reported = end;
  };
  unsigned long code = 0;
  if (!Process::RunCaptured(argv, ToNativePath(dir), kReadChunk, onOutput, code)) return false;
  if (!pending.empty()) text += CString::FromUtf8(pending);
  if (reported < text.GetLength()) {
    SendToMessagePanel(text.Mid(reported), CMessagePanelMsg::ProcessOutput);
  }
  output = std::move(text);
  exitCode = code;
  return code == 0;
}

bool ExecuteExternalFile(CString& output, bool reportLines, const char16_t* file,
                         const char16_t* params, const char16_t* dir) {
  unsigned long exitCode = 0;
  return ExecuteExternalFileEx(exitCode, output, reportLines, file, params, dir);
}

bool IsNetfx10Installed() {
  return ReadNetfxValue(u"Software\\Microsoft\\.NETFramework\\Policy\\v1.0", u"3705", nullptr);
}

bool IsNetfx11Installed() {
  Registry::DWORD install = 0;
  return ReadNetfxValue(u"Software\\Microsoft\\NET Framework Setup\\NDP\\v1.1.4322", u"Install",
                        &install) &&
         install == 1;
}

bool IsNetfx20Installed() {
  return ReadNetfxValue(u"Software\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727", u"Install",
                        nullptr);
}

bool IsNetfx30Installed() {
  return ReadNetfxValue(u"Software\\Microsoft\\NET Framework Setup\\NDP\\v3.0", u"Install",
                        nullptr);
}

bool IsNetfx40Installed() {
  return ReadNetfxValue(u"Software\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client", u"Install",
                        nullptr) ||
         ReadNetfxValue(u"Software\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full", u"Install",
                        nullptr);
}

bool IsNetfxInstalled(bool requireV2, unsigned int messageId) {
  if ((!requireV2 && IsNetfx11Installed()) || IsNetfx20Installed()) return true;
  const CString text = L(static_cast<int>(messageId));
  static bool boxShown = false;  // the user is told in a box once per process
  if (!boxShown) {
    boxShown = true;
    MsgBox::Show(text, MsgBox::MB_OK);
  }
  SendToMessagePanel(text, CMessagePanelMsg::ErrorReport);
  return false;
}

namespace MiscUtil {

RunReportFile& RunReportFile::SetFileName(CString fileName) {
  fileName_ = std::move(fileName);
  return *this;
}

RunReportFile& RunReportFile::SetResult(unsigned int result) {
  result_ = result;
  return *this;
}

RunReportFile& RunReportFile::SetText(CString text) {
  text_ = std::move(text);
  return *this;
}

bool RunReportFile::Read() {
  std::vector<unsigned char> data;
  if (!Files::ReadAll(ToNativePath(fileName_), data, 4 + 2 * kMaxTextLength) || data.size() < 4) {
    return false;
  }
  result_ = static_cast<unsigned int>(data[0]) | static_cast<unsigned int>(data[1]) << 8 |
            static_cast<unsigned int>(data[2]) << 16 | static_cast<unsigned int>(data[3]) << 24;
  std::u16string text;
  for (size_t i = 4; i + 1 < data.size(); i += 2) {
    text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  }
  text_ = CString(std::move(text));
  return true;
}

bool RunReportFile::Write() const {
  std::vector<unsigned char> data;
  data.reserve(4 + 2 * static_cast<size_t>(text_.GetLength()));
  for (int shift = 0; shift < 32; shift += 8) data.push_back((result_ >> shift) & 0xFF);
  for (const char16_t unit : text_.view()) {
    data.push_back(unit & 0xFF);
    data.push_back(unit >> 8);
  }
  return Files::WriteAll(ToNativePath(fileName_), data.data(), data.size());
}

bool RunReportFile::Delete() const { return Files::RemoveFile(ToNativePath(fileName_)); }

bool RunReportFile::Exists() const { return Files::Exists(ToNativePath(fileName_)); }

RunReportFileHolder& RunReportFileHolder::Instance() {
  static RunReportFileHolder holder;
  return holder;
}

RunReportFileHolder::~RunReportFileHolder() { Write(); }

}  // namespace MiscUtil

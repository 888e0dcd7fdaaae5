// libFuzzer target: arbitrary text (UTF-8 bytes, as settings carry the
// commands the tool runs) split into arguments by the Windows command-line
// rules. Every argument, quoted back by those rules and joined, must split
// into the very same arguments again.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/CString.h"
#include "platform/Process.h"

namespace {

// `arg` in double quotes: backslashes before a quote (or before the closing
// quote) doubled, each quote escaped.
void AppendQuoted(std::u16string& line, const std::u16string& arg) {
  line += u'"';
  size_t slashes = 0;
  for (const char16_t c : arg) {
    if (c == u'\\') {
      ++slashes;
      continue;
    }
    line.append(c == u'"' ? 2 * slashes + 1 : slashes, u'\\');
    slashes = 0;
    line += c;
  }
  line.append(2 * slashes, u'\\');
  line += u'"';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString text =
      CString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::vector<CString> args = Process::CommandLineToArgv(text);
  std::u16string line;
  for (const CString& arg : args) {
    if (!line.empty()) line += u' ';
    AppendQuoted(line, arg.str());
  }
  if (Process::CommandLineToArgv(line.c_str()) != args) __builtin_trap();
  return 0;
}

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString text =
      CString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::vector<CString> args = Process::CommandLineToArgv(text);
  std::u16string line;
  for (const CString& arg : args) {
    // In double quotes: backslashes before a quote (or before the closing
    // quote) doubled, each quote escaped.
    line += line.empty() ? u"\"" : u" \"";
    size_t slashes = 0;
    for (const char16_t c : arg.str()) {
      if (c == u'"') line.append(slashes + 1, u'\\');
      slashes = c == u'\\' ? slashes + 1 : 0;
      line += c;
    }
    line.append(slashes, u'\\');
    line += u'"';
  }
  if (Process::CommandLineToArgv(line.c_str()) != args) __builtin_trap();
  return 0;
}

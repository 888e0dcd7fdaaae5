// The replaceable message-box sink and its non-interactive default.
#include "platform/MessageBox.h"

#include <cstdio>
#include <string>
#include <utility>

namespace MsgBox {
namespace {

int DefaultSink(const CString& text, unsigned type) {
  const std::string utf8 = text.ToUtf8();
  std::fprintf(stderr, "%s\n", utf8.c_str());
  return type == MB_YESNO ? IDNO : IDOK;
}

Sink& CurrentSink() {
  static Sink sink;
  return sink;
}

}  // namespace

Sink SetSink(Sink sink) {
  Sink previous = std::move(CurrentSink());
  CurrentSink() = std::move(sink);
  return previous;
}

int Show(const CString& text, unsigned type) {
  const Sink& sink = CurrentSink();
  return sink ? sink(text, type) : DefaultSink(text, type);
}

}  // namespace MsgBox

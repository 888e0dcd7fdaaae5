// The message box of the host framework, reduced to a replaceable sink: the
// library asks the user through it, a host (or a test) decides what answers.
// The default sink writes the text to stderr and answers without a user.
#pragma once

#include <functional>

#include "platform/CString.h"

namespace MsgBox {

// Button sets and answers, with the Windows values.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_YESNO = 0x4;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows `text` with the buttons of `type`; returns the button chosen.
using Sink = std::function<int(const CString& text, unsigned type)>;

// Installs `sink` (an empty one restores the default) and returns the one it
// replaces. The default answers IDOK, or IDNO to a Yes/No question, so that
// nothing is deleted without a user having agreed.
Sink SetSink(Sink sink);
// Shows a message box through the current sink.
int Show(const CString& text, unsigned type);

}  // namespace MsgBox

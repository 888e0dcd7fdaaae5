// The boundary between the library's stored paths and the file system of
// this machine. Paths are kept as the Windows original wrote them (UTF-16,
// backslashes); they become native only when a system call needs them.
#pragma once

#include <string>

// UTF-8 form of `path` with every backslash turned into a slash. Null is "".
std::string ToNativePath(const char16_t* path);

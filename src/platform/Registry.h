// The Windows registry calls the library makes, with their shapes and codes.
// This machine has no registry: every key is missing, so every reader falls
// back to its "not installed" or empty answer.
#pragma once

#include <cstdint>

namespace Registry {

using HKEY = std::uintptr_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using REGSAM = std::uint32_t;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;

constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_ALL_ACCESS_NO_SYNC = 0x2001F;  // read and write

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_INVALID_HANDLE = 6;

// ERROR_FILE_NOT_FOUND: no key exists; `result` is set to 0.
LONG RegOpenKeyExW(HKEY root, const char16_t* subKey, DWORD options, REGSAM access, HKEY* result);
// ERROR_INVALID_HANDLE: no key can have been opened.
LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD* reserved, DWORD* type,
                      unsigned char* data, DWORD* size);
LONG RegCloseKey(HKEY key);

}  // namespace Registry

// The empty registry of this machine: every key is missing. Kept as real
// calls so that the readers keep the Windows control flow unchanged.
#include "platform/Registry.h"

namespace Registry {

LONG RegOpenKeyExW(HKEY /*root*/, const char16_t* /*subKey*/, DWORD /*options*/, REGSAM /*access*/,
                   HKEY* result) {
  if (result != nullptr) *result = 0;
  return ERROR_FILE_NOT_FOUND;
}

LONG RegQueryValueExW(HKEY /*key*/, const char16_t* /*valueName*/, DWORD* /*reserved*/,
                      DWORD* /*type*/, unsigned char* /*data*/, DWORD* /*size*/) {
  return ERROR_INVALID_HANDLE;
}

LONG RegCloseKey(HKEY /*key*/) { return ERROR_INVALID_HANDLE; }

}  // namespace Registry

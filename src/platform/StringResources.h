// String resources by number. The texts belong to the host application, so
// the host installs a loader; without one every resource is missing.
#pragma once

#include <functional>

#include "platform/CString.h"

namespace StringResources {

// Sets `text` and returns true when resource `id` exists.
using Loader = std::function<bool(int id, CString& text)>;

// Installs `loader` (an empty one means "no resources") and returns the one
// it replaces.
Loader SetLoader(Loader loader);
// Resource `id`; empty when there is none.
CString Load(int id);

}  // namespace StringResources

// The host's string-resource loader, held here so that library code can load
// texts by number without knowing who supplies them.
#include "platform/StringResources.h"

#include <utility>

namespace StringResources {
namespace {

Loader& CurrentLoader() {
  static Loader loader;
  return loader;
}

}  // namespace

Loader SetLoader(Loader loader) {
  Loader previous = std::move(CurrentLoader());
  CurrentLoader() = std::move(loader);
  return previous;
}

CString Load(int id) {
  const Loader& loader = CurrentLoader();
  CString text;
  if (!loader || !loader(id, text)) return CString();
  return text;
}

}  // namespace StringResources

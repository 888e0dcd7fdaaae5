// libFuzzer target: arbitrary bytes as the localized-file request the writer
// of a localized file is handed (gzip or plain), read through Load. Load
// must give false for malformed input and nothing worse; a request it
// accepts must write, read back and write the very same bytes again, its
// file item found at the same place.
#include <cstddef>
#include <cstdint>

#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "parsing/LocalizedTempFile.h"

namespace {

bool SameFields(const CreateLocalizedTempFile& a, const CreateLocalizedTempFile& b) {
  return a.fileName == b.fileName && a.originalFileName == b.originalFileName &&
         a.param.nativeLang == b.param.nativeLang && a.param.targetLang == b.param.targetLang &&
         a.param.projectDir == b.param.projectDir &&
         a.param.targetCultureName == b.param.targetCultureName &&
         a.fileItemLevel == b.fileItemLevel && (a.item == nullptr) == (b.item == nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ScratchFile file(".serial.gz");
  if (!file.Write(data, size)) return 0;
  CreateLocalizedTempFile request;
  if (!request.Load(file.Path())) return 0;

  const fuzz::Bytes first = fuzz::Save([&request](Serial::ISerialStream& s) {
    if (!request.Do(s)) __builtin_trap();
  });
  CreateLocalizedTempFile again;
  fuzz::ReadOwn(first, [&again](Serial::ISerialStream& s) { return again.Do(s); });
  if (!SameFields(request, again)) __builtin_trap();
  if ((request.GetFileItem() == nullptr) != (again.GetFileItem() == nullptr)) __builtin_trap();
  if (fuzz::Save([&again](Serial::ISerialStream& s) { again.Do(s); }) != first) __builtin_trap();
  return 0;
}

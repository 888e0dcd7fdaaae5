// libFuzzer target: bytes written to a file and opened as an old project
// database. Recognising, loading and converting a damaged file must end in
// messages and null results, never in a crash or a leak.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "config/OldPrjConfig.h"
#include "items/ResItem.h"
#include "storage/Storage.h"
#include "services/Messaging.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // SQLite opens files by name, so every input goes through one scratch file.
  static fuzz::ScratchFile scratch(".db");
  // The journal of an interrupted transaction would be replayed into the
  // next input.
  Files::RemoveFile(scratch.Native() + "-journal");
  if (!scratch.Write(data, size)) return 0;
  // Nobody listens; the messages still go through the dispatcher.
  const CString path = CString::FromUtf8(scratch.Native());
  const bool recognised = IsSQLiteFormat(path);
  std::unique_ptr<CResItem> root;
  {
    CStorage storage(path);
    if (storage.IsGood()) root.reset(storage.Load());
  }
  if (recognised && size < 47) __builtin_trap();  // the header alone is 47 bytes
  COldPrjConfig config;
  config.Load(path);
  CResItem target;
  config.Convert(target);
  if (root) config.Convert(*root);
  return 0;
}

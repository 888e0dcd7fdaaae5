// libFuzzer target: bytes written to a file, checked from outside and opened
// as an old project database. Checking, then recognising, loading and
// converting a damaged file must end in a refusal, messages and null
// results, never in a crash or a leak.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "config/OldPrjConfig.h"
#include "items/ResItem.h"
#include "services/Messaging.h"
#include "storage/DatabaseCheck.h"
#include "storage/Storage.h"

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
  if (recognised && size < 47) __builtin_trap();  // the header alone is 47 bytes
  // SQLite 2.8 itself crashes or loops on some damaged files; such an input
  // must be turned away by the outside check, as a caller would. The check
  // runs in its own process under its wall-clock limit (about 5 s for these
  // sizes, below libFuzzer's -timeout), so an input that sends SQLite in
  // circles costs one limit, never a hang here.
  DatabaseCheckOptions options;
  options.checker = ITEMLIB_FUZZ_DBCHECK;
  if (CheckProjectDatabase(path, options) != DatabaseCheck::kSound) return 0;
  std::unique_ptr<CResItem> root;
  {
    CStorage storage(path);
    if (storage.IsGood()) root.reset(storage.Load());
  }
  COldPrjConfig config;
  config.Load(path);
  CResItem target;
  config.Convert(target);
  if (root) config.Convert(*root);
  return 0;
}

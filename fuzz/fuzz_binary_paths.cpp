// libFuzzer target: the same bytes read through the binary reader's own path
// and through the generic one (a stream that forwards every call), as a
// project, a translation or a property container, chosen by the first byte.
// Both must end alike: FormatIO from both, or the same saved bytes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "items/TransItem.h"

namespace {

// The outcome of one read, as saved bytes ("!" for FormatIO).
fuzz::Bytes Outcome(unsigned char kind, const uint8_t* data, size_t size, bool generic) {
  std::unique_ptr<CResItem> root;
  CTransItem trans(CLangId::Undefined);
  CPropContainer container;
  const auto body = [&](Serial::ISerialStream& s) {
    return kind == 0 ? DoProject(s, root) : kind == 1 ? trans.Do(s) : container.Do(s);
  };
  bool result = false;
  try {
    Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
    Serial::Binary::BinarySerialIn reader(in);
    testutil::Forward forward(reader);
    result = body(generic ? static_cast<Serial::ISerialStream&>(forward) : reader);
  } catch (const Serial::Exceptions::FormatIO&) {
    return fuzz::Bytes{'!'};
  }
  fuzz::Bytes saved = fuzz::Write(body);
  saved.push_back(result ? 1 : 0);
  return saved;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 0xFFFFFFFFu) return 0;
  const unsigned char kind = data[0] % 3;
  if (Outcome(kind, data + 1, size - 1, false) != Outcome(kind, data + 1, size - 1, true)) {
    __builtin_trap();
  }
  return 0;
}

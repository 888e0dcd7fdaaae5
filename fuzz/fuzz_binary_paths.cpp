// libFuzzer target: the same bytes read through the binary reader's own path
// and through the generic one (a stream that forwards every call), as a
// project, a translation or a property container, chosen by the first byte.
// Both must end alike: FormatIO from both, or the same saved bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzItems.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "serial/BinarySerialIn.h"
#include "serial/Streams.h"

namespace {

// Forwards every call, so that the library sees another type of stream.
class Forward : public Serial::ISerialStream {
 public:
  explicit Forward(Serial::ISerialStream& s) : s_(s) {}
  bool EnterNode(const Serial::NodeName& name) override { return s_.EnterNode(name); }
  void LeaveNode() override { s_.LeaveNode(); }
  bool IsReading() const override { return s_.IsReading(); }
  const void* ReadField(unsigned int& size) override { return s_.ReadField(size); }
  void WriteField(unsigned int size, const void* data) override { s_.WriteField(size, data); }
  Serial::VersionInfo GetSchemeVersion() override { return s_.GetSchemeVersion(); }

 private:
  Serial::ISerialStream& s_;
};

// The outcome of one read, as saved bytes ("!" for FormatIO).
fuzz::Bytes Outcome(unsigned char kind, const uint8_t* data, size_t size, bool generic) {
  std::unique_ptr<CResItem> root;
  CTransItem trans(CLangId::Undefined);
  CPropContainer container;
  bool result = false;
  try {
    Serial::MemoryStreamIn in(data, static_cast<unsigned int>(size));
    Serial::Binary::BinarySerialIn reader(in);
    Forward forward(reader);
    Serial::ISerialStream& s = generic ? static_cast<Serial::ISerialStream&>(forward) : reader;
    result = kind == 0 ? DoProject(s, root) : kind == 1 ? trans.Do(s) : container.Do(s);
  } catch (const Serial::Exceptions::FormatIO&) {
    return fuzz::Bytes{'!'};
  }
  fuzz::Bytes saved = fuzz::Save([&](Serial::ISerialStream& s) {
    if (kind == 0) DoProject(s, root);
    if (kind == 1) trans.Do(s);
    if (kind == 2) container.Do(s);
  });
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

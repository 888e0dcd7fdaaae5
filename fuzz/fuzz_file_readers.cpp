// libFuzzer target: arbitrary bytes as a whole file read by path: the run
// report a run leaves behind and the image whose checksum is taken. The
// report must read as its documented layout and write back to the bytes it
// was read from; the checksum must match the one over the bytes in memory
// and ignore the image's own checksum field.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "services/MiscUtil.h"
#include "services/PathUtil.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void CheckRunReport(const fuzz::ScratchFile& file, const uint8_t* data, size_t size) {
  MiscUtil::RunReportFile report;
  report.SetFileName(file.Path()).SetResult(0xA5A5A5A5u).SetText(u"unchanged");
  if (!report.Read()) {
    if (size >= 4 || report.GetResult() != 0xA5A5A5A5u || report.GetText() != u"unchanged") {
      __builtin_trap();
    }
    return;
  }
  if (size < 4 || report.GetResult() != Le32(data)) __builtin_trap();
  const size_t units = std::min<size_t>((size - 4) / 2, MiscUtil::RunReportFile::kMaxTextLength);
  if (static_cast<size_t>(report.GetText().GetLength()) != units) __builtin_trap();

  static fuzz::ScratchFile copy(".report");
  report.SetFileName(copy.Path());
  if (!report.Write()) return;
  std::vector<unsigned char> written;
  if (!Files::ReadAll(copy.Native(), written)) return;
  if (written.size() != 4 + 2 * units || std::memcmp(written.data(), data, written.size()) != 0) {
    __builtin_trap();
  }
}

// Where the checksum field of a PE image lies; 0 when the bytes are none.
size_t CheckSumField(const uint8_t* data, size_t size) {
  if (size < 0x40 || data[0] != 'M' || data[1] != 'Z') return 0;
  const size_t pe = Le32(data + 0x3C);
  if (pe > size || size - pe < 4 + 20 + 64 + 4 || std::memcmp(data + pe, "PE\0\0", 4) != 0) {
    return 0;
  }
  return pe + 4 + 20 + 64;
}

void CheckChecksum(const fuzz::ScratchFile& file, const uint8_t* data, size_t size) {
  const unsigned long sum = GetChecksum(file.Path());
  if (size == 0) {
    if (sum != 0) __builtin_trap();
    return;
  }
  if (sum != Files::PeCheckSum(data, size)) __builtin_trap();
  const size_t field = CheckSumField(data, size);
  if (field == 0) return;
  std::vector<uint8_t> other(data, data + size);
  for (size_t i = 0; i < 4; ++i) other[field + i] ^= 0x5A;
  if (Files::PeCheckSum(other.data(), size) != sum) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::ScratchFile file(".bin");
  if (!file.Write(data, size)) return 0;
  CheckRunReport(file, data, size);
  CheckChecksum(file, data, size);
  return 0;
}

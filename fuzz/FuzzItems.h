// The project and property-container layouts that the item fuzzers read and
// the seed generator writes, kept in one place so that the seeds always
// match what the fuzzers expect.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "items/ResItem.h"
#include "props/PropContainer.h"
#include "serial/BinarySerialOut.h"
#include "serial/SerialStrategies.h"
#include "serial/Streams.h"

namespace fuzz {

using Bytes = std::vector<unsigned char>;

// A whole binary stream (header, "Root", `body`, end of "Root") in memory.
template <typename Body>
Bytes Save(Body body) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    body(static_cast<Serial::ISerialStream&>(writer));
  }
  return std::move(out.data());
}

}  // namespace fuzz

// The few plain Windows value types that persistent classes serialise as
// they are; their layout is part of the binary format, so it is fixed here.
#pragma once

#include <cstdint>

struct tagRECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};
using RECT = tagRECT;
static_assert(sizeof(tagRECT) == 16, "RECT is four signed 32-bit values");

inline bool operator==(const tagRECT& a, const tagRECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const tagRECT& a, const tagRECT& b) { return !(a == b); }

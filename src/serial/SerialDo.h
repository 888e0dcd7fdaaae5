// The free Do() functions for plain values. Each writes one field of a fixed
// width; reading returns false (value unchanged) when the field is missing
// or of another width.
#pragma once

#include <set>
#include <vector>

#include "platform/CString.h"
#include "platform/Variant.h"
#include "platform/WinTypes.h"
#include "serial/ISerialStream.h"

namespace Serial {

bool Do(ISerialStream& s, char& value);
bool Do(ISerialStream& s, signed char& value);
bool Do(ISerialStream& s, unsigned char& value);
bool Do(ISerialStream& s, bool& value);
bool Do(ISerialStream& s, short& value);
bool Do(ISerialStream& s, unsigned short& value);
bool Do(ISerialStream& s, int& value);
bool Do(ISerialStream& s, unsigned int& value);
// Four bytes, as the 32-bit unsigned long of the format's origin; a value
// above 32 bits is written truncated.
bool Do(ISerialStream& s, unsigned long& value);
bool Do(ISerialStream& s, float& value);
bool Do(ISerialStream& s, double& value);
bool Do(ISerialStream& s, tagRECT& value);
// UTF-16LE code units without terminator; an odd size reads as false.
bool Do(ISerialStream& s, CString& value);
// The 16-byte VARIANT, then for VT_BSTR the text as a string field. Types
// other than the plain scalar ones and VT_BSTR give false.
bool Do(ISerialStream& s, _variant_t& value);
bool Do(ISerialStream& s, std::vector<CString>& value);
bool Do(ISerialStream& s, std::set<CString>& value);

}  // namespace Serial

// The script language's real numbers: 80-bit x87 extended precision, stored as 10 bytes.
#pragma once

#include <cstdint>
#include <cstring>

namespace mobu {

static_assert(sizeof(long double) >= 10, "the 80-bit real needs x87 long double");

using Real = long double;

inline constexpr int kRealStoredSize = 10;

// Reads the 10 stored bytes (little-endian x87 layout: 64-bit mantissa, then sign and exponent).
inline Real RealFromBytes(const uint8_t* bytes)
{
    Real value = 0;
    std::memcpy(&value, bytes, kRealStoredSize);
    return value;
}

// Writes the 10 stored bytes; the padding bytes of long double are never written.
inline void RealToBytes(Real value, uint8_t* bytes)
{
    uint8_t raw[sizeof(Real)] = {};
    std::memcpy(raw, &value, sizeof(Real));
    std::memcpy(bytes, raw, kRealStoredSize);
}

}  // namespace mobu

#pragma once
// The 80-bit extended-precision number of the x87, as settings documents store floating-point
// values: 64-bit mantissa with an explicit integer bit, 15-bit exponent biased by 16383, sign,
// least significant byte first (bytes 0-7 mantissa, 8-9 exponent and sign).
#include <array>
#include <cstdint>

namespace kvx {

using TExtended = std::array<uint8_t, 10>;

// Exact: every double is an extended number. Infinities and NaNs keep their kind.
TExtended DoubleToExtended(double value);
// Rounded to the nearest double; out of range gives an infinity or zero.
double ExtendedToDouble(const TExtended& bytes);

}  // namespace kvx

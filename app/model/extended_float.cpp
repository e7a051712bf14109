#include "app/model/extended_float.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace kvx {

namespace {

constexpr int kBias = 16383;
constexpr uint16_t kMaxExponent = 0x7FFF;
constexpr uint64_t kIntegerBit = 0x8000000000000000ull;

TExtended Pack(bool negative, uint16_t exponent, uint64_t mantissa) {
  TExtended bytes{};
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  const uint16_t top = static_cast<uint16_t>(exponent | (negative ? 0x8000 : 0));
  bytes[8] = static_cast<uint8_t>(top);
  bytes[9] = static_cast<uint8_t>(top >> 8);
  return bytes;
}

}  // namespace

TExtended DoubleToExtended(double value) {
  const bool negative = std::signbit(value);
  if (value == 0) return Pack(negative, 0, 0);
  if (std::isinf(value)) return Pack(negative, kMaxExponent, kIntegerBit);
  if (std::isnan(value)) return Pack(negative, kMaxExponent, kIntegerBit | (kIntegerBit >> 1));
  int exponent = 0;
  // |value| = fraction x 2^exponent with fraction in [0.5, 1): the fraction's 53 bits move to
  // the top of the 64-bit mantissa exactly.
  const double fraction = std::frexp(std::fabs(value), &exponent);
  const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
  return Pack(negative, static_cast<uint16_t>(exponent - 1 + kBias), mantissa);
}

double ExtendedToDouble(const TExtended& bytes) {
  uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
  const uint16_t top = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
  const bool negative = (top & 0x8000) != 0;
  const int exponent = top & kMaxExponent;
  double magnitude;
  if (exponent == kMaxExponent)
    magnitude = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::quiet_NaN();
  else
    // An exponent of 0 (denormal) has the weight of exponent 1.
    magnitude = std::ldexp(static_cast<double>(mantissa), (exponent == 0 ? 1 : exponent) - kBias - 63);
  return negative ? -magnitude : magnitude;
}

}  // namespace kvx

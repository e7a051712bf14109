#pragma once
// Little-endian encoding of record fields, and the length-prefixed short strings of fixed
// capacity that binary records hold (one length byte, the Windows-1252 characters, zeros).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace kvx {

inline void PutU16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutU64(uint8_t* at, uint64_t v) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutF64(uint8_t* at, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  PutU64(at, bits);
}
inline uint16_t GetU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }
inline uint32_t GetU32(const uint8_t* at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | at[i];
  return v;
}
inline uint64_t GetU64(const uint8_t* at) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | at[i];
  return v;
}
inline double GetF64(const uint8_t* at) {
  const uint64_t bits = GetU64(at);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// Writes text (UTF-8) as a short string of the given capacity at `at` (capacity + 1 bytes),
// converted to Windows-1252 and cut to capacity characters. The bytes after the text are
// left as they are (records are zero-filled before they are filled).
void PutShortString(uint8_t* at, size_t capacity, const std::string& text);
// Reads a short string of the given capacity back to UTF-8; a length byte above the capacity
// is taken as the capacity.
std::string GetShortString(const uint8_t* at, size_t capacity);

}  // namespace kvx

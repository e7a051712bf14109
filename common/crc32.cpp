#include "common/crc32.h"

#include <array>

#include "common/memory_stream.h"

namespace kvx {

namespace {
// Tables for slicing-by-8: table 0 is CrcTable, table k advances a byte over k more zero bytes.
using SliceTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr SliceTables MakeTables() {
  SliceTables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ CrcPolynomial : c >> 1;
    t[0][i] = c;
  }
  for (int k = 1; k < 8; ++k)
    for (uint32_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  return t;
}

constexpr SliceTables kTables = MakeTables();
}  // namespace

const uint32_t CrcTable[256] = {
#define KVX_ROW(i) kTables[0][i], kTables[0][i + 1], kTables[0][i + 2], kTables[0][i + 3]
#define KVX_ROWS16(i) KVX_ROW(i), KVX_ROW(i + 4), KVX_ROW(i + 8), KVX_ROW(i + 12)
    KVX_ROWS16(0),   KVX_ROWS16(16),  KVX_ROWS16(32),  KVX_ROWS16(48),
    KVX_ROWS16(64),  KVX_ROWS16(80),  KVX_ROWS16(96),  KVX_ROWS16(112),
    KVX_ROWS16(128), KVX_ROWS16(144), KVX_ROWS16(160), KVX_ROWS16(176),
    KVX_ROWS16(192), KVX_ROWS16(208), KVX_ROWS16(224), KVX_ROWS16(240),
#undef KVX_ROWS16
#undef KVX_ROW
};

namespace crc32_impl {

uint32_t ByTable(const uint8_t* data, size_t length, uint32_t crc) {
  for (size_t i = 0; i < length; ++i) crc = CrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

uint32_t BySlicing(const uint8_t* data, size_t length, uint32_t crc) {
  const auto& t = kTables;
  while (length >= 8) {
    const uint32_t lo = crc ^ (data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24);
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
          t[3][data[4]] ^ t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]];
    data += 8;
    length -= 8;
  }
  return ByTable(data, length, crc);
}

}  // namespace crc32_impl

namespace {
using CrcFunction = uint32_t (*)(const uint8_t*, size_t, uint32_t);

CrcFunction FastestCrc() {
#if KVX_CRC32_CLMUL
  if (crc32_impl::ClmulAvx512Available()) return crc32_impl::ByClmulAvx512;
  if (crc32_impl::ClmulAvailable()) return crc32_impl::ByClmul;
#endif
  return crc32_impl::BySlicing;
}
}  // namespace

uint32_t UpdateCrcLong(const void* buffer, size_t length, uint32_t crc) {
  static const CrcFunction fastest = FastestCrc();  // chosen once, thread-safe
  return fastest(static_cast<const uint8_t*>(buffer), length, crc);
}

uint32_t UpdateCrc(const void* buffer, int32_t length, uint32_t crc) {
  if (length <= 0) return crc;
  return UpdateCrcLong(buffer, static_cast<size_t>(length), crc);
}

uint32_t StreamCrc32(TMemoryStream& stream) {
  uint8_t block[2048];
  uint32_t crc = CrcInit;
  for (;;) {
    const size_t n = stream.Read(block, sizeof block);
    crc = UpdateCrc(block, static_cast<int32_t>(n), crc);
    if (n < sizeof block) break;
  }
  return ~crc;
}

}  // namespace kvx

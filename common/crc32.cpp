#include "common/crc32.h"

#include <array>

#include "common/memory_stream.h"

#if KVX_CRC32_CLMUL
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace kvx {

namespace {
constexpr uint32_t kPolynomial = 0xEDB88320u;

// Tables for slicing-by-8: table 0 is CrcTable, table k advances a byte over k more zero bytes.
using SliceTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr SliceTables MakeTables() {
  SliceTables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ kPolynomial : c >> 1;
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

#if KVX_CRC32_CLMUL
bool ClmulAvailable() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) && (ecx & bit_SSE4_1);
}
#else
bool ClmulAvailable() { return false; }
#endif

}  // namespace crc32_impl

#if KVX_CRC32_CLMUL
namespace {
// Constants of the carry-less path, derived here from the polynomial.
//
// Bit order is reflected throughout: a 32-bit register holds the coefficient of x^i in bit 31 - i,
// and a 16-byte block loaded from memory holds its highest power in bit 0 of the low quadword.
// A carry-less product of two such 64-bit lanes lands one bit "low", and keeping a constant in
// the low 33 bits of its lane (x^i in bit 32 - i, that is the 32-bit value shifted left by one)
// shifts it by 32 more. Hence, to carry a 128-bit block D bits further along the message, the
// low quadword (powers 127..64) is multiplied by x^(D+32) mod P and the high quadword (powers
// 63..0) by x^(D-32) mod P, each as a 32-bit register shifted left by one.

// x^n mod P as a reflected register: x^0 advanced by n zero bits.
constexpr uint32_t PowerOfX(unsigned n) {
  uint32_t r = 0x80000000u;
  for (unsigned i = 0; i < n; ++i) r = (r & 1) ? (r >> 1) ^ kPolynomial : r >> 1;
  return r;
}
constexpr uint64_t FoldConstant(unsigned n) { return uint64_t{PowerOfX(n)} << 1; }

// P with its x^32 term, in the 33-bit reflected form.
constexpr uint64_t kPolynomial33 = (uint64_t{kPolynomial} << 1) | 1;

// floor(x^64 / P) for the Barrett reduction, in the 33-bit reflected form: long division of the
// reflected x^64 (a lone bit just past the top of the 64-bit lane) by the reflected P.
constexpr uint64_t BarrettQuotient() {
  uint64_t quotient = 1;                   // x^32: first quotient term
  uint64_t remainder = kPolynomial33 >> 1;  // x^64 - x^32 * P, reflected within 64 bits
  for (int i = 1; i <= 32; ++i) {           // quotient terms x^(32-i)
    if (remainder & 1) {
      quotient |= uint64_t{1} << i;
      remainder ^= kPolynomial33;
    }
    remainder >>= 1;
  }
  return quotient;
}

constexpr uint64_t kFold512Low = FoldConstant(512 + 32), kFold512High = FoldConstant(512 - 32);
constexpr uint64_t kFold128Low = FoldConstant(128 + 32), kFold128High = FoldConstant(128 - 32);
constexpr uint64_t kFold64 = FoldConstant(64);
constexpr uint64_t kBarrett = BarrettQuotient();

// Only these functions use the instructions; the rest of the program keeps the baseline ones.
// The 32-bit Windows ABI promises a 4-byte aligned stack only, so there the stack is realigned
// for the 16-byte spills.
#if defined(__i386__)
#define KVX_CLMUL_TARGET __attribute__((target("pclmul,sse4.1"), force_align_arg_pointer))
#else
#define KVX_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))
#endif

// The block carried forward by the distance of the constants (low and high quadword) and added
// to the block found there.
KVX_CLMUL_TARGET inline __m128i Fold(__m128i block, __m128i constants, __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(block, constants, 0x00);
  const __m128i high = _mm_clmulepi64_si128(block, constants, 0x11);
  return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// The register of a 128-bit block, the message so far having been folded into it.
KVX_CLMUL_TARGET inline uint32_t Reduce(__m128i block) {
  const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
  // 128 to 96 bits: the low quadword moves 64 bits along onto the high one.
  const __m128i fold128 = _mm_set_epi64x(static_cast<long long>(kFold128High), 0);
  block = _mm_xor_si128(_mm_clmulepi64_si128(block, fold128, 0x10), _mm_srli_si128(block, 8));
  // 96 to 64 bits: the top 32 bits move 64 bits along.
  const __m128i fold64 = _mm_set_epi64x(0, static_cast<long long>(kFold64));
  block = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(block, low32), fold64, 0x00),
                        _mm_srli_si128(block, 4));
  // Barrett: quotient = top 32 bits times floor(x^64 / P), cut to 32 bits; remainder = block
  // minus quotient times P, left in the second 32-bit word.
  const __m128i barrett = _mm_set_epi64x(static_cast<long long>(kBarrett), static_cast<long long>(kPolynomial33));
  __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(block, low32), barrett, 0x10);
  quotient = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x00);
  return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(block, quotient), 1));
}

KVX_CLMUL_TARGET inline __m128i Load(const uint8_t* data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}
}  // namespace

namespace crc32_impl {

KVX_CLMUL_TARGET uint32_t ByClmul(const uint8_t* data, size_t length, uint32_t crc) {
  if (length < 64) return BySlicing(data, length, crc);
  // The register enters as the first four bytes of the message.
  __m128i x0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = Load(data + 16), x2 = Load(data + 32), x3 = Load(data + 48);
  data += 64;
  length -= 64;
  const __m128i by512 = _mm_set_epi64x(static_cast<long long>(kFold512High), static_cast<long long>(kFold512Low));
  for (; length >= 64; data += 64, length -= 64) {
    x0 = Fold(x0, by512, Load(data));
    x1 = Fold(x1, by512, Load(data + 16));
    x2 = Fold(x2, by512, Load(data + 32));
    x3 = Fold(x3, by512, Load(data + 48));
  }
  const __m128i by128 = _mm_set_epi64x(static_cast<long long>(kFold128High), static_cast<long long>(kFold128Low));
  __m128i x = Fold(Fold(Fold(x0, by128, x1), by128, x2), by128, x3);
  for (; length >= 16; data += 16, length -= 16) x = Fold(x, by128, Load(data));
  return ByTable(data, length, Reduce(x));
}

}  // namespace crc32_impl
#endif

namespace {
using CrcFunction = uint32_t (*)(const uint8_t*, size_t, uint32_t);

CrcFunction FastestCrc() {
#if KVX_CRC32_CLMUL
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

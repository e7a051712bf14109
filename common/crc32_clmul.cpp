// CRC-32 by carry-less multiplication: the message is folded onto a few 128-bit blocks whose
// value modulo the polynomial P gives the same register, and those are reduced to 32 bits.
#include "common/crc32.h"

#if KVX_CRC32_CLMUL
#include <cpuid.h>
#include <immintrin.h>

namespace kvx {

namespace {
// The constants, derived here from the polynomial.
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
  for (unsigned i = 0; i < n; ++i) r = (r & 1) ? (r >> 1) ^ CrcPolynomial : r >> 1;
  return r;
}
constexpr uint64_t FoldConstant(unsigned n) { return uint64_t{PowerOfX(n)} << 1; }

struct FoldPair {
  uint64_t low, high;
};
constexpr FoldPair FoldDistance(unsigned bits) { return {FoldConstant(bits + 32), FoldConstant(bits - 32)}; }

// P with its x^32 term, in the 33-bit reflected form.
constexpr uint64_t kPolynomial33 = (uint64_t{CrcPolynomial} << 1) | 1;

// floor(x^64 / P) for the Barrett reduction, in the 33-bit reflected form: long division of the
// reflected x^64 (a lone bit just past the top of the 64-bit lane) by the reflected P.
constexpr uint64_t BarrettQuotient() {
  uint64_t quotient = 1;                    // x^32: first quotient term
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

constexpr FoldPair kBy128 = FoldDistance(128), kBy512 = FoldDistance(512), kBy2048 = FoldDistance(2048);
constexpr uint64_t kBy64 = FoldConstant(64);
constexpr uint64_t kBarrett = BarrettQuotient();

// Only these functions use the instructions; the rest of the program keeps the baseline ones.
#define KVX_CLMUL __attribute__((target("pclmul,sse4.1")))
#define KVX_CLMUL_AVX512 __attribute__((target("avx512f,vpclmulqdq,pclmul,sse4.1")))
// The 32-bit Windows ABI promises a 4-byte aligned stack only: the entry points realign it for
// their vector spills.
#if defined(__i386__)
#define KVX_REALIGN __attribute__((force_align_arg_pointer))
#else
#define KVX_REALIGN
#endif

KVX_CLMUL inline __m128i Constants(uint64_t low, uint64_t high) {
  return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
}

KVX_CLMUL inline __m128i Load(const uint8_t* data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// The block carried forward by the distance of the constants and added to the block found there.
KVX_CLMUL inline __m128i Fold(__m128i block, __m128i constants, __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(block, constants, 0x00);
  const __m128i high = _mm_clmulepi64_si128(block, constants, 0x11);
  return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// The register of a 128-bit block into which the message so far has been folded.
KVX_CLMUL inline uint32_t Reduce(__m128i block) {
  const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
  // 128 to 96 bits: the low quadword moves 64 bits along onto the high one.
  block = _mm_xor_si128(_mm_clmulepi64_si128(block, Constants(0, kBy128.high), 0x10), _mm_srli_si128(block, 8));
  // 96 to 64 bits: the top 32 bits move 64 bits along.
  block = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(block, low32), Constants(kBy64, 0), 0x00),
                        _mm_srli_si128(block, 4));
  // Barrett: quotient = top 32 bits times floor(x^64 / P), cut to 32 bits; remainder = block
  // minus quotient times P, left in the second 32-bit word.
  const __m128i barrett = Constants(kPolynomial33, kBarrett);
  __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(block, low32), barrett, 0x10);
  quotient = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x00);
  return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(block, quotient), 1));
}

// Folds four consecutive blocks and then the rest of the message, 16 bytes at a time, onto one
// block, reduces it, and takes the last bytes by table.
KVX_CLMUL inline uint32_t Finish(__m128i x0, __m128i x1, __m128i x2, __m128i x3, const uint8_t* data,
                                 size_t length) {
  const __m128i by128 = Constants(kBy128.low, kBy128.high);
  __m128i block = Fold(Fold(Fold(x0, by128, x1), by128, x2), by128, x3);
  for (; length >= 16; data += 16, length -= 16) block = Fold(block, by128, Load(data));
  return crc32_impl::ByTable(data, length, Reduce(block));
}

// The constants for four blocks at once, set by hand: GCC 12 warns inside its broadcast intrinsic.
KVX_CLMUL_AVX512 inline __m512i Constants4(uint64_t low, uint64_t high) {
  const auto l = static_cast<long long>(low), h = static_cast<long long>(high);
  return _mm512_set_epi64(h, l, h, l, h, l, h, l);
}

KVX_CLMUL_AVX512 inline __m512i Load4(const uint8_t* data) { return _mm512_loadu_si512(data); }

// Fold on four 128-bit blocks at once.
KVX_CLMUL_AVX512 inline __m512i Fold4(__m512i blocks, __m512i constants, __m512i next) {
  const __m512i low = _mm512_clmulepi64_epi128(blocks, constants, 0x00);
  const __m512i high = _mm512_clmulepi64_epi128(blocks, constants, 0x11);
  return _mm512_ternarylogic_epi64(low, high, next, 0x96);  // low ^ high ^ next
}

// XCR0: the register states the system saves on a thread switch.
uint64_t SavedRegisterStates() {
  uint32_t low = 0, high = 0;
  __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (uint64_t{high} << 32) | low;
}
}  // namespace

namespace crc32_impl {

bool ClmulAvailable() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) && (ecx & bit_SSE4_1);
}

bool ClmulAvx512Available() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!ClmulAvailable() || !__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_OSXSAVE)) return false;
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) || !(ebx & bit_AVX512F) || !(ecx & bit_VPCLMULQDQ))
    return false;
  constexpr uint64_t kVectorStates = 0xE6;  // XMM, YMM, opmask, ZMM0-15 upper halves, ZMM16-31
  return (SavedRegisterStates() & kVectorStates) == kVectorStates;
}

KVX_CLMUL KVX_REALIGN uint32_t ByClmul(const uint8_t* data, size_t length, uint32_t crc) {
  if (length < 64) return BySlicing(data, length, crc);
  // The register enters as the first four bytes of the message.
  __m128i x0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = Load(data + 16), x2 = Load(data + 32), x3 = Load(data + 48);
  data += 64;
  length -= 64;
  const __m128i by512 = Constants(kBy512.low, kBy512.high);
  for (; length >= 64; data += 64, length -= 64) {
    x0 = Fold(x0, by512, Load(data));
    x1 = Fold(x1, by512, Load(data + 16));
    x2 = Fold(x2, by512, Load(data + 32));
    x3 = Fold(x3, by512, Load(data + 48));
  }
  return Finish(x0, x1, x2, x3, data, length);
}

KVX_CLMUL_AVX512 KVX_REALIGN uint32_t ByClmulAvx512(const uint8_t* data, size_t length, uint32_t crc) {
  if (length < 256) return ByClmul(data, length, crc);
  __m512i x0 = _mm512_xor_si512(Load4(data), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
  __m512i x1 = Load4(data + 64), x2 = Load4(data + 128), x3 = Load4(data + 192);
  data += 256;
  length -= 256;
  const __m512i by2048 = Constants4(kBy2048.low, kBy2048.high);
  for (; length >= 256; data += 256, length -= 256) {
    x0 = Fold4(x0, by2048, Load4(data));
    x1 = Fold4(x1, by2048, Load4(data + 64));
    x2 = Fold4(x2, by2048, Load4(data + 128));
    x3 = Fold4(x3, by2048, Load4(data + 192));
  }
  const __m512i by512 = Constants4(kBy512.low, kBy512.high);
  alignas(64) uint8_t blocks[64];
  _mm512_store_si512(blocks, Fold4(Fold4(Fold4(x0, by512, x1), by512, x2), by512, x3));
  return Finish(Load(blocks), Load(blocks + 16), Load(blocks + 32), Load(blocks + 48), data, length);
}

}  // namespace crc32_impl
}  // namespace kvx

#else

namespace kvx::crc32_impl {
bool ClmulAvailable() { return false; }
bool ClmulAvx512Available() { return false; }
}  // namespace kvx::crc32_impl

#endif

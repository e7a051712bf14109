#pragma once
// The CRC-32 of zlib and PKZIP (reflected polynomial 0xEDB88320) as a bare register: no
// inversion in or out, so a stored value is the complement of the usual CRC-32.
#include <cstddef>
#include <cstdint>

namespace kvx {

class TMemoryStream;

constexpr uint32_t CrcInit = 0xFFFFFFFF;
// The polynomial, reflected: bit 31 - i holds the coefficient of x^i (x^32 implied).
constexpr uint32_t CrcPolynomial = 0xEDB88320;

// Entry i is i put through eight rounds of the reflected polynomial.
extern const uint32_t CrcTable[256];

// Advances the register over length bytes; a length of 0 or less leaves it unchanged.
uint32_t UpdateCrc(const void* buffer, int32_t length, uint32_t crc);
// The same for any length (the data path of the engine and the unite engine).
uint32_t UpdateCrcLong(const void* buffer, size_t length, uint32_t crc);
// The standard CRC-32 of the stream from its position to its end, read in 2048-byte blocks;
// leaves the stream at its end.
uint32_t StreamCrc32(TMemoryStream& stream);

// The implementations behind UpdateCrcLong, each giving the same register; exposed so that
// every path is tested and measured. UpdateCrcLong picks the fastest one the CPU runs.
namespace crc32_impl {
uint32_t ByTable(const uint8_t* data, size_t length, uint32_t crc);
uint32_t BySlicing(const uint8_t* data, size_t length, uint32_t crc);

// True when the CPU has carry-less multiplication (PCLMULQDQ) and SSE4.1.
bool ClmulAvailable();
// True when it also has it on 512-bit registers (VPCLMULQDQ, AVX-512F) and the system saves them.
bool ClmulAvx512Available();
#if defined(__x86_64__) || defined(__i386__)
#define KVX_CRC32_CLMUL 1
// Folds 64-byte blocks (4 x 128 bits) by carry-less multiplication. REQUIRES: ClmulAvailable().
uint32_t ByClmul(const uint8_t* data, size_t length, uint32_t crc);
// The same on 256-byte blocks (4 x 512 bits). REQUIRES: ClmulAvx512Available().
uint32_t ByClmulAvx512(const uint8_t* data, size_t length, uint32_t crc);
#endif
}  // namespace crc32_impl

}  // namespace kvx

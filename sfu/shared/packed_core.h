#pragma once
// The packed core: how the SFU core travels in the loader stub's RCDATA "ENG". Written by the
// builder, read by the loader stub; header only, so the stub stays free of the C++ library.
//
//   0 "KV" (not checked) | 2 unpacked size u32 | 6 raw tail size u32 | 10 reserved u32 (0) |
//   14 LZMA properties byte | 15 dictionary size u32 | 19 LZMA stream with end marker | raw tail
//
// The compressed data is the image after the call filter: cut into 61441-byte chunks, and in
// each chunk the 32-bit value after every E8/E9 opcode byte (x86 relative call and jump) made
// absolute by adding its position + 5 within the chunk, which makes calls to one target look
// alike and compress better.
#include <cstddef>
#include <cstdint>

namespace kvx {

constexpr size_t kPackedHeaderSize = 14;
constexpr size_t kPackedUnpackedSizeAt = 2;
constexpr size_t kPackedRawTailSizeAt = 6;
constexpr size_t kLzmaPropsSize = 5;
constexpr uint32_t kLzmaMaxDictionary = 33554432;  // what the stub accepts: 32 MiB
constexpr size_t kCallFilterChunk = 61441;

// Applies (encode) or undoes (decode) the call filter on one chunk of at most kCallFilterChunk
// bytes. Positions count from the start of the chunk; opcode bytes among the last four bytes
// have no complete value after them and are left alone, as is a chunk shorter than 5 bytes.
inline void CallFilter(uint8_t* chunk, size_t size, bool encode) {
  for (size_t i = 0; i + 4 < size;) {
    if (chunk[i] != 0xE8 && chunk[i] != 0xE9) {
      ++i;
      continue;
    }
    uint8_t* v = chunk + i + 1;
    uint32_t value = static_cast<uint32_t>(v[0]) | static_cast<uint32_t>(v[1]) << 8 |
                     static_cast<uint32_t>(v[2]) << 16 | static_cast<uint32_t>(v[3]) << 24;
    const uint32_t position = static_cast<uint32_t>(i + 5);
    value = encode ? value + position : value - position;
    for (int k = 0; k < 4; ++k) v[k] = static_cast<uint8_t>(value >> (8 * k));
    i += 5;
  }
}

}  // namespace kvx

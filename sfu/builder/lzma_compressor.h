#pragma once
// TLZMACompressor: LZMA compression at levels 1 to 4 over the LZMA SDK encoder, pushed one
// buffer at a time. The SDK's encoder pulls its input, so Compress keeps the bytes and Finish
// runs the encoder over all of them (the core is a few hundred kilobytes and lives in memory
// anyway); no second thread is needed. Output: the 5 property bytes, then the LZMA stream with
// its end marker, handed to the write procedure in blocks of at most 65536 bytes.
//
// Level | algorithm | dictionary | fast bytes | match finder
//   1   |    0      |   32 KiB   |     32     | hash chain
//   2   |    1      |    2 MiB   |     32     | binary tree, 4 hash bytes
//   3   |    2      |    8 MiB   |     64     | binary tree, 4 hash bytes
//   4   |    2      |   32 MiB   |     64     | binary tree, 4 hash bytes
// lc 3, lp 0, pb 2: the properties byte is 0x5D.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/errors.h"

namespace kvx {

// Every failure of the compressor; the message begins with "lzma: ".
class ECompressInternalError : public EKarvexError {
 public:
  using EKarvexError::EKarvexError;
};

class TLZMACompressor {
 public:
  using WriteProc = std::function<void(const uint8_t* data, size_t size)>;

  // Raises ECompressInternalError for a level outside 1..4 or an encoder that cannot be set up.
  TLZMACompressor(int level, WriteProc write);
  ~TLZMACompressor();
  TLZMACompressor(const TLZMACompressor&) = delete;
  TLZMACompressor& operator=(const TLZMACompressor&) = delete;

  // Hands count bytes to the encoder.
  void Compress(const void* buffer, size_t count);
  // Encodes everything handed over, end marker included, and writes the rest of the output.
  // Call once, last. An encoder error raises ECompressInternalError (out of memory raises
  // std::bad_alloc); an error of the write procedure comes out as it was raised.
  void Finish();

 private:
  struct Streams;

  int level_;
  WriteProc write_;
  void* encoder_ = nullptr;
  std::vector<uint8_t> input_;
};

}  // namespace kvx

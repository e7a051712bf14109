#include "sfu/shared/core_unpacker.h"

#include <cstdlib>

#ifdef _WIN32
#include "common/os/win32.h"  // the SDK's Types.h includes <windows.h>
#endif
extern "C" {
#include <LzmaDec.h>
}

#include "sfu/shared/packed_core.h"

namespace kvx {

namespace {

void* Alloc(void*, size_t size) { return std::malloc(size); }
void Free(void*, void* address) { std::free(address); }
ISzAlloc gAlloc = {Alloc, Free};

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

struct Unpacker {
  const uint8_t* resource;
  size_t size;
  size_t position;
  CLzmaDec decoder;
  bool decoderReady;
  uint8_t* chunk;

  // Reads the properties at the read position and prepares the decoder.
  bool StartDecoder() {
    if (size - position < kLzmaPropsSize) return false;
    const uint8_t* props = resource + position;
    if (props[0] >= 9 * 5 * 5 || ReadU32(props + 1) > kLzmaMaxDictionary) return false;
    if (LzmaDec_Allocate(&decoder, props, kLzmaPropsSize, &gAlloc) != SZ_OK) return false;
    decoderReady = true;
    position += kLzmaPropsSize;
    LzmaDec_Init(&decoder);
    return true;
  }

  // Decodes exactly n bytes into the chunk buffer.
  bool Decode(size_t n) {
    if (!decoderReady && !StartDecoder()) return false;
    for (size_t produced = 0; produced < n;) {
      SizeT out = n - produced;
      SizeT in = size - position;
      ELzmaStatus status;
      const SRes result =
          LzmaDec_DecodeToBuf(&decoder, chunk + produced, &out, resource + position, &in, LZMA_FINISH_ANY, &status);
      position += in;
      produced += out;
      if (result != SZ_OK || (in == 0 && out == 0)) return false;
    }
    return true;
  }

  bool Run(UnpackSink sink, void* context) {
    if (size < kPackedHeaderSize) return false;
    uint32_t remaining = ReadU32(resource + kPackedUnpackedSizeAt);
    uint32_t tail = ReadU32(resource + kPackedRawTailSizeAt);
    position = kPackedHeaderSize;
    while (remaining > 0) {
      const size_t n = remaining < kCallFilterChunk ? remaining : kCallFilterChunk;
      if (!Decode(n)) return false;
      CallFilter(chunk, n, false);
      if (!sink(context, chunk, n)) return false;
      remaining -= static_cast<uint32_t>(n);
    }
    if (tail > size) return false;
    for (position = size - tail; tail > 0;) {
      const size_t n = tail < kCallFilterChunk ? tail : kCallFilterChunk;
      if (!sink(context, resource + position, n)) return false;
      position += n;
      tail -= static_cast<uint32_t>(n);
    }
    return true;
  }
};

}  // namespace

bool UnpackCore(const uint8_t* resource, size_t size, UnpackSink sink, void* context) {
  Unpacker u;
  u.resource = resource;
  u.size = size;
  u.position = 0;
  LzmaDec_Construct(&u.decoder);
  u.decoderReady = false;
  u.chunk = static_cast<uint8_t*>(std::malloc(kCallFilterChunk));
  const bool done = u.chunk != nullptr && u.Run(sink, context);
  std::free(u.chunk);
  if (u.decoderReady) LzmaDec_Free(&u.decoder, &gAlloc);
  return done;
}

}  // namespace kvx

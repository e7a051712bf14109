#include "sfu/builder/core_packer.h"

#include <algorithm>

#include "common/byte_io.h"
#include "common/errors.h"
#include "sfu/builder/lzma_compressor.h"
#include "sfu/shared/packed_core.h"

namespace kvx {

std::vector<uint8_t> PackCore(const std::vector<uint8_t>& image) {
  if (image.size() > UINT32_MAX) throw EKarvexError("The SFU core is too large to be packed");
  std::vector<uint8_t> packed(kPackedHeaderSize, 0);
  packed[0] = 'K';
  packed[1] = 'V';
  PutU32(&packed[kPackedUnpackedSizeAt], static_cast<uint32_t>(image.size()));
  TLZMACompressor compressor(4, [&](const uint8_t* data, size_t size) { packed.insert(packed.end(), data, data + size); });
  std::vector<uint8_t> chunk;
  for (size_t at = 0; at < image.size(); at += kCallFilterChunk) {
    chunk.assign(image.begin() + at, image.begin() + std::min(image.size(), at + kCallFilterChunk));
    CallFilter(chunk.data(), chunk.size(), true);
    compressor.Compress(chunk.data(), chunk.size());
  }
  compressor.Finish();
  return packed;
}

}  // namespace kvx

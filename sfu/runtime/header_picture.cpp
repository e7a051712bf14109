#include "sfu/runtime/header_picture.h"

#include "common/byte_io.h"

namespace kvx {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

bool KnownDepth(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

std::optional<TDibLayout> LocateDib(const uint8_t* data, size_t size) {
  const bool fileForm = size >= 2 && data[0] == 'B' && data[1] == 'M';
  const size_t info = fileForm ? kFileHeaderSize : 0;
  if (size < info + kInfoHeaderSize) return std::nullopt;
  const uint8_t* h = data + info;
  const uint32_t headerSize = GetU32(h);
  const int32_t width = static_cast<int32_t>(GetU32(h + 4));
  const int32_t height = static_cast<int32_t>(GetU32(h + 8));
  const uint16_t bits = GetU16(h + 14);
  const uint32_t compression = GetU32(h + 16);
  const uint32_t coloursUsed = GetU32(h + 32);
  if (headerSize < kInfoHeaderSize || headerSize > size - info || width <= 0 || height == 0 ||
      height == INT32_MIN || GetU16(h + 12) != 1 || !KnownDepth(bits))
    return std::nullopt;
  if (compression != kRgb && !(compression == kBitFields && (bits == 16 || bits == 32))) return std::nullopt;
  if (bits <= 8 && coloursUsed > (1u << bits)) return std::nullopt;

  const uint64_t colours = bits <= 8 && coloursUsed == 0 ? (1u << bits) : coloursUsed;
  const uint64_t masks = compression == kBitFields && headerSize == kInfoHeaderSize ? 12 : 0;
  uint64_t pixels = info + uint64_t{headerSize} + masks + colours * 4;
  if (fileForm) {
    const uint32_t declared = GetU32(data + 10);
    if (declared < pixels) return std::nullopt;
    pixels = declared;
  }
  const uint64_t rows = height < 0 ? uint64_t(-int64_t{height}) : uint64_t(height);
  const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
  if (pixels > size || stride * rows > size - pixels) return std::nullopt;

  TDibLayout layout;
  layout.InfoOffset = info;
  layout.BitsOffset = static_cast<size_t>(pixels);
  layout.Width = width;
  layout.Height = static_cast<int32_t>(rows);
  return layout;
}

}  // namespace kvx

#pragma once
// Packing the finished SFU core into the packed-core form the loader stub unpacks
// (sfu/shared/packed_core.h): header, then the call-filtered image compressed at level 4.
#include <cstdint>
#include <vector>

namespace kvx {

// Raises ECompressInternalError (or std::bad_alloc) when the encoder fails, EKarvexError for
// an image of 4 GiB or more.
std::vector<uint8_t> PackCore(const std::vector<uint8_t>& image);

}  // namespace kvx

#pragma once
// Unpacking a packed core (packed_core.h), as the loader stub does it: C-style, no exceptions
// and no C++ library, so the stub stays small. The builder's tests use the same code.
#include <cstddef>
#include <cstdint>

namespace kvx {

// Receives the unpacked image piece by piece (at most 61441 bytes at a time); returns false to
// stop the unpacking as failed.
typedef bool (*UnpackSink)(void* context, const uint8_t* data, size_t size);

// Unpacks the resource bytes: the LZMA data in 61441-byte chunks, each with the call filter
// undone, then the raw tail. Every read stays inside the resource. Returns false when the
// header is cut short, the properties are refused (properties byte 225 or more, dictionary
// above 32 MiB), the decoder fails or produces fewer bytes than announced, the raw tail is
// larger than the resource, memory runs out or the sink fails.
bool UnpackCore(const uint8_t* resource, size_t size, UnpackSink sink, void* context);

}  // namespace kvx

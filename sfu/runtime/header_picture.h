#pragma once
// The header picture of the SFU window comes as resource "BMP": either the bytes of a ".bmp"
// file (starting with the file header "BM") or a bare device-independent bitmap (starting
// with its information header), as Karvex carries its default picture. The user chooses the
// file, so every size in it is checked before the picture is drawn.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kvx {

struct TDibLayout {
  size_t InfoOffset = 0;  // the bitmap information header
  size_t BitsOffset = 0;  // the pixels
  int32_t Width = 0;
  int32_t Height = 0;  // always positive; top-down pictures store it negative
};

// Where the parts lie, or nothing when the bytes are not an uncompressed bitmap that they
// hold completely.
std::optional<TDibLayout> LocateDib(const uint8_t* data, size_t size);

}  // namespace kvx

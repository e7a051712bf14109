#pragma once
// Icons: the ".ico" file and the group icon directory that lists a group's icon images.
//
// .ico:   u16 0 | u16 1 | u16 count | count x {u8 width, u8 height, u8 colours, u8 0, u16 planes,
//         u16 bit count, u32 bytes, u32 file offset} | images
// group:  the same 6-byte head | count x {the same first 12 bytes, u16 icon resource id}
#include <cstdint>
#include <vector>

namespace kvx {

struct TIconImage {
  uint8_t Width = 0;
  uint8_t Height = 0;
  uint8_t ColorCount = 0;
  uint16_t Planes = 0;
  uint16_t BitCount = 0;
  std::vector<uint8_t> Data;  // the image as stored (DIB or PNG)
};

// The images of an ".ico" file. Raises EKarvexError when it is not a sound icon file.
std::vector<TIconImage> ParseIcoFile(const std::vector<uint8_t>& ico);
// The group directory for images stored as icon resources firstId, firstId + 1, ... A planes
// count of 0 is written as 1 and a bit count of 0 is taken from the colour count.
std::vector<uint8_t> GroupIconDirectory(const std::vector<TIconImage>& images, uint16_t firstId);
// The icon resource ids a group directory lists. Raises EKarvexError when it is damaged.
std::vector<uint16_t> GroupIconIds(const std::vector<uint8_t>& group);

}  // namespace kvx

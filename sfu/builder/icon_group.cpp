#include "sfu/builder/icon_group.h"

#include "common/byte_io.h"
#include "sfu/builder/bounded_bytes.h"

namespace kvx {

namespace {
constexpr size_t kHeadSize = 6;
constexpr size_t kFileEntrySize = 16;
constexpr size_t kGroupEntrySize = 14;

// Reads the 6-byte head shared by both forms and returns the image count.
uint16_t ReadHead(const TBoundedBytes& b, size_t entrySize) {
  if (b.U16(0) != 0 || b.U16(2) != 1) b.Fail("not an icon directory");
  const uint16_t count = b.U16(4);
  if (count == 0) b.Fail("no images");
  b.Require(kHeadSize, uint64_t{count} * entrySize);
  return count;
}
}  // namespace

std::vector<TIconImage> ParseIcoFile(const std::vector<uint8_t>& ico) {
  const TBoundedBytes b(ico, "The icon file");
  const uint16_t count = ReadHead(b, kFileEntrySize);
  std::vector<TIconImage> images;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t e = kHeadSize + uint64_t{i} * kFileEntrySize;
    TIconImage image;
    image.Width = b.U8(e);
    image.Height = b.U8(e + 1);
    image.ColorCount = b.U8(e + 2);
    image.Planes = b.U16(e + 4);
    image.BitCount = b.U16(e + 6);
    image.Data = b.Copy(b.U32(e + 12), b.U32(e + 8));
    if (image.Data.empty()) b.Fail("an empty image");
    images.push_back(std::move(image));
  }
  return images;
}

std::vector<uint8_t> GroupIconDirectory(const std::vector<TIconImage>& images, uint16_t firstId) {
  std::vector<uint8_t> group(kHeadSize + images.size() * kGroupEntrySize, 0);
  PutU16(&group[2], 1);
  PutU16(&group[4], static_cast<uint16_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    const TIconImage& image = images[i];
    uint8_t* e = &group[kHeadSize + i * kGroupEntrySize];
    uint16_t bitCount = image.BitCount;
    if (bitCount == 0)
      while (image.ColorCount > (1u << bitCount)) ++bitCount;
    e[0] = image.Width;
    e[1] = image.Height;
    e[2] = image.ColorCount;
    PutU16(e + 4, image.Planes == 0 ? 1 : image.Planes);
    PutU16(e + 6, bitCount);
    PutU32(e + 8, static_cast<uint32_t>(image.Data.size()));
    PutU16(e + 12, static_cast<uint16_t>(firstId + i));
  }
  return group;
}

std::vector<uint16_t> GroupIconIds(const std::vector<uint8_t>& group) {
  const TBoundedBytes b(group, "The group icon");
  const uint16_t count = ReadHead(b, kGroupEntrySize);
  std::vector<uint16_t> ids;
  for (uint16_t i = 0; i < count; ++i) ids.push_back(b.U16(kHeadSize + uint64_t{i} * kGroupEntrySize + 12));
  return ids;
}

}  // namespace kvx

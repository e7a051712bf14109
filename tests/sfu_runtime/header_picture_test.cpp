// Locating the parts of the header picture in both forms of resource "BMP", and refusing
// pictures whose sizes do not fit their bytes.
#include "sfu/runtime/header_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/byte_io.h"

namespace kvx {
namespace {

struct TPicture {
  int32_t width = 353;
  int32_t height = 65;
  uint16_t bits = 8;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  int palette = 256;  // entries actually written
};

size_t Stride(const TPicture& p) { return (static_cast<size_t>(p.width) * p.bits + 31) / 32 * 4; }

// A bare bitmap: information header, palette, pixels.
std::vector<uint8_t> Bare(const TPicture& p) {
  std::vector<uint8_t> bytes(40 + p.palette * 4 + Stride(p) * static_cast<size_t>(p.height < 0 ? -p.height : p.height));
  PutU32(&bytes[0], 40);
  PutU32(&bytes[4], static_cast<uint32_t>(p.width));
  PutU32(&bytes[8], static_cast<uint32_t>(p.height));
  PutU16(&bytes[12], 1);
  PutU16(&bytes[14], p.bits);
  PutU32(&bytes[16], p.compression);
  PutU32(&bytes[32], p.coloursUsed);
  return bytes;
}

// The same with a file header, as a ".bmp" file is.
std::vector<uint8_t> WithFileHeader(const std::vector<uint8_t>& bare, uint32_t pixelsAt) {
  std::vector<uint8_t> bytes(14 + bare.size());
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutU32(&bytes[2], static_cast<uint32_t>(bytes.size()));
  PutU32(&bytes[10], pixelsAt);
  std::copy(bare.begin(), bare.end(), bytes.begin() + 14);
  return bytes;
}

std::optional<TDibLayout> Locate(const std::vector<uint8_t>& bytes) { return LocateDib(bytes.data(), bytes.size()); }

TEST(HeaderPicture, FindsTheHeaderAndPixelsOfBothForms) {
  const std::vector<uint8_t> bare = Bare(TPicture());
  auto layout = Locate(bare);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->InfoOffset, 0u);
  EXPECT_EQ(layout->BitsOffset, 40u + 1024u);
  EXPECT_EQ(layout->Width, 353);
  EXPECT_EQ(layout->Height, 65);

  layout = Locate(WithFileHeader(bare, 14 + 40 + 1024));
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->InfoOffset, 14u);
  EXPECT_EQ(layout->BitsOffset, 14u + 40u + 1024u);
}

TEST(HeaderPicture, TakesTopDownTrueColourAndShortPalettes) {
  TPicture topDown;
  topDown.height = -65;
  auto layout = Locate(Bare(topDown));
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->Height, 65);

  TPicture trueColour;
  trueColour.bits = 24;
  trueColour.palette = 0;
  ASSERT_TRUE(Locate(Bare(trueColour)));
  EXPECT_EQ(Locate(Bare(trueColour))->BitsOffset, 40u);

  TPicture sixteen;
  sixteen.coloursUsed = 16;
  sixteen.palette = 16;
  ASSERT_TRUE(Locate(Bare(sixteen)));
  EXPECT_EQ(Locate(Bare(sixteen))->BitsOffset, 40u + 64u);
}

TEST(HeaderPicture, RefusesPicturesThatDoNotFitTheirBytes) {
  const std::vector<uint8_t> good = Bare(TPicture());
  const std::vector<uint8_t> shortByOne(good.begin(), good.end() - 1);
  std::vector<uint8_t> huge = good;  // claims far more pixels than it holds
  PutU32(&huge[4], 0x7FFFFFFF);
  PutU32(&huge[8], 0x7FFFFFFF);
  TPicture compressed;
  compressed.compression = 1;  // run-length
  TPicture tooManyColours;
  tooManyColours.coloursUsed = 257;
  TPicture noWidth;
  noWidth.width = 0;
  TPicture oddDepth;
  oddDepth.bits = 7;
  std::vector<uint8_t> smallHeader = good;
  PutU32(&smallHeader[0], 12);
  std::vector<uint8_t> pastTheEnd = good;
  PutU32(&pastTheEnd[0], static_cast<uint32_t>(good.size() + 1));
  const std::vector<uint8_t> file = WithFileHeader(good, 14 + 40 + 1024);

  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"one byte short", shortByOne},
      {"sizes that overflow", huge},
      {"compressed", Bare(compressed)},
      {"more colours than the depth has", Bare(tooManyColours)},
      {"no width", Bare(noWidth)},
      {"unknown depth", Bare(oddDepth)},
      {"core header", smallHeader},
      {"header past the end", pastTheEnd},
      {"pixels declared inside the headers", WithFileHeader(good, 14 + 40)},
      {"pixels declared past the end", WithFileHeader(good, 0xFFFFFFF0)},
      {"file header only", std::vector<uint8_t>(file.begin(), file.begin() + 20)},
      {"nothing", {}},
  };
  for (const auto& [name, bytes] : cases) EXPECT_FALSE(Locate(bytes)) << name;
}

}  // namespace
}  // namespace kvx

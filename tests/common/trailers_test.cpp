#include <gtest/gtest.h>

#include <string>

#include "common/byte_io.h"
#include "common/trailers.h"

namespace kvx {
namespace {

TEST(FirstPieceTrailer, FieldsAtTheirOffsets) {
  TFirstPieceTrailer t;
  t.FileName = "movie.avi";
  t.FileDate = 0x5A2B6C3D;
  t.FileSize = 0x0123456789ABCDEFull;
  t.FileAttributes = 0x20;
  t.FileCrc = 0xDEADBEEF;
  t.PieceCount = 7;
  t.Spanned = 1;
  t.SetTitle = "Title";
  t.Author = "Author";
  t.Description = "Desc";
  t.SplitDateTime = 45000.5;
  t.UniqueId = "none";
  t.NameMask = "disk{num}.kxd";
  t.PieceSize = 498741;
  t.LastCrc = 0x340BC6D9;
  t.CreationDate = -1;
  const auto b = t.Serialize();

  ASSERT_EQ(b.size(), 1259u);
  EXPECT_TRUE(HasTrailerMagic(b.data()));
  EXPECT_EQ(std::string(b.begin(), b.begin() + 7), std::string("\x06KARVEX"));
  EXPECT_EQ(b[7], 0x21);
  EXPECT_EQ(b[8], 0x4E);  // 20001
  EXPECT_EQ(GetShortString(&b[9], 255), "movie.avi");
  EXPECT_EQ(GetU32(&b[265]), 0x5A2B6C3Du);
  EXPECT_EQ(GetU64(&b[269]), 0x0123456789ABCDEFull);
  EXPECT_EQ(GetU32(&b[277]), 0x20u);
  EXPECT_EQ(GetU32(&b[281]), 0xDEADBEEFu);
  EXPECT_EQ(GetU32(&b[285]), 7u);
  EXPECT_EQ(b[289], 1);
  EXPECT_EQ(GetShortString(&b[290], 100), "Title");
  EXPECT_EQ(GetShortString(&b[391], 75), "Author");
  EXPECT_EQ(GetShortString(&b[467], 255), "Desc");
  EXPECT_EQ(GetF64(&b[723]), 45000.5);
  EXPECT_EQ(GetShortString(&b[731], 255), "none");
  EXPECT_EQ(GetShortString(&b[987], 255), "disk{num}.kxd");
  EXPECT_EQ(GetU64(&b[1243]), 498741u);
  EXPECT_EQ(GetU32(&b[1251]), 0x340BC6D9u);
  EXPECT_EQ(GetU32(&b[1255]), 0xFFFFFFFFu);
  // Unused bytes of a short string stay zero.
  EXPECT_EQ(b[9 + 1 + 9], 0);
  EXPECT_EQ(b[264], 0);

  const TFirstPieceTrailer back = TFirstPieceTrailer::Parse(b);
  EXPECT_EQ(back.Serialize(), b);
}

TEST(PieceTrailer, FieldsAtTheirOffsets) {
  TPieceTrailer t;
  t.FileName = "movie.avi";
  t.SetTitle = "Title";
  t.UniqueId = "{ID}";
  t.PieceSize = 499353;
  t.Offset = 0x100000000ull + 5;
  t.LastCrc = 0x11223344;
  t.PieceNumber = 3;
  t.FinalPiece = 1;
  const auto b = t.Serialize();

  ASSERT_EQ(b.size(), 647u);
  EXPECT_TRUE(HasTrailerMagic(b.data()));
  EXPECT_EQ(GetU16(&b[7]), 20001);
  EXPECT_EQ(GetShortString(&b[9], 255), "movie.avi");
  EXPECT_EQ(GetShortString(&b[265], 100), "Title");
  EXPECT_EQ(GetShortString(&b[366], 255), "{ID}");
  EXPECT_EQ(GetU64(&b[622]), 499353u);
  EXPECT_EQ(GetU64(&b[630]), 0x100000005ull);
  EXPECT_EQ(GetU32(&b[638]), 0x11223344u);
  EXPECT_EQ(GetU32(&b[642]), 3u);
  EXPECT_EQ(b[646], 1);
  EXPECT_EQ(TPieceTrailer::Parse(b).Serialize(), b);
}

TEST(Trailers, LongTextsAreCutToTheirCapacity) {
  TFirstPieceTrailer t;
  t.SetTitle = std::string(150, 'T');
  t.Author = std::string(80, 'A');
  t.FileName = std::string(300, 'f');
  const auto b = t.Serialize();
  EXPECT_EQ(b[290], 100);
  EXPECT_EQ(GetShortString(&b[290], 100), std::string(100, 'T'));
  EXPECT_EQ(b[391], 75);
  EXPECT_EQ(b[9], 255);
  EXPECT_EQ(b[391 + 76], 0);  // nothing spills into the next field
}

TEST(Trailers, MagicNeedsTheLengthByteToo) {
  uint8_t record[8] = {7, 'K', 'A', 'R', 'V', 'E', 'X', 0};
  EXPECT_FALSE(HasTrailerMagic(record));
  record[0] = 6;
  EXPECT_TRUE(HasTrailerMagic(record));
  record[3] = 'r';
  EXPECT_FALSE(HasTrailerMagic(record));
}

TEST(Trailers, TextsAreStoredInWindows1252) {
  TPieceTrailer t;
  t.FileName = "caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD.txt";  // café € 中.txt
  const auto b = t.Serialize();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[10]), b[9]), "caf\xE9 \x80 _.txt");
  EXPECT_EQ(TPieceTrailer::Parse(b).FileName, "caf\xC3\xA9 \xE2\x82\xAC _.txt");
}

}  // namespace
}  // namespace kvx

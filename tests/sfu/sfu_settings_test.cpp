#include <gtest/gtest.h>

#include <string>

#include "common/byte_io.h"
#include "sfu/shared/sfu_settings.h"

namespace kvx {
namespace {

// Every text field with a text one character longer than its capacity, so each offset and
// each cut shows.
struct TextField {
  std::string TSfuSettings::*member;
  size_t offset;
  size_t capacity;
};
const TextField kTextFields[] = {
    {&TSfuSettings::WindowCaption, 9, 50},    {&TSfuSettings::StartMessage, 60, 255},
    {&TSfuSettings::EndMessage, 316, 255},    {&TSfuSettings::AboutMessage, 575, 255},
    {&TSfuSettings::RunParameters, 835, 255}, {&TSfuSettings::FirstPieceName, 1094, 255},
    {&TSfuSettings::ArchiveTitle, 1350, 100}, {&TSfuSettings::UniqueId, 1459, 255},
    {&TSfuSettings::CustomFolder, 1715, 255},
};

struct FlagField {
  bool TSfuSettings::*member;
  size_t offset;
};
const FlagField kFlagFields[] = {
    {&TSfuSettings::OpenAfterUnite, 574},    {&TSfuSettings::WaitForEnd, 1091},
    {&TSfuSettings::DeleteAfterRun, 1092},   {&TSfuSettings::AutoClose, 1093},
    {&TSfuSettings::NoOverwritePrompt, 1455}, {&TSfuSettings::AutoStart, 1456},
    {&TSfuSettings::Silent, 1457},           {&TSfuSettings::LockDestination, 1458},
    {&TSfuSettings::MergedFirstPiece, 1971},
};

TEST(SfuSettings, DefaultRecordIsZeroButMagicAndVersion) {
  const TSfuSettings::Bytes b = TSfuSettings().Serialize();
  ASSERT_EQ(b.size(), 1972u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 7), std::string("\x06KVXSFU"));
  EXPECT_EQ(b[7], 0x21);  // 20001 = 0x4E21, little-endian
  EXPECT_EQ(b[8], 0x4E);
  for (size_t i = 9; i < b.size(); ++i) ASSERT_EQ(b[i], 0) << "byte " << i;
  EXPECT_TRUE(HasSfuMagic(b));
}

TEST(SfuSettings, TextFieldsSitAtTheirOffsetsAndAreCutToTheirCapacity) {
  for (const TextField& f : kTextFields) {
    TSfuSettings s;
    s.*f.member = std::string(f.capacity, 'x') + "y";
    const TSfuSettings::Bytes b = s.Serialize();
    EXPECT_EQ(b[f.offset], f.capacity) << f.offset;
    EXPECT_EQ(b[f.offset + 1], 'x') << f.offset;
    EXPECT_EQ(b[f.offset + f.capacity], 'x') << f.offset;
    for (size_t i = 9; i < b.size(); ++i) {
      if (i >= f.offset && i <= f.offset + f.capacity) continue;
      ASSERT_EQ(b[i], 0) << "byte " << i << ", field " << f.offset;
    }
    EXPECT_EQ(TSfuSettings::Parse(b).*f.member, std::string(f.capacity, 'x'));
  }
}

TEST(SfuSettings, FlagsAndNumbersSitAtTheirOffsets) {
  for (const FlagField& f : kFlagFields) {
    TSfuSettings s;
    s.*f.member = true;
    const TSfuSettings::Bytes b = s.Serialize();
    int nonZero = 0;
    for (size_t i = 9; i < b.size(); ++i) nonZero += b[i] != 0;
    EXPECT_EQ(b[f.offset], 1) << f.offset;
    EXPECT_EQ(nonZero, 1) << f.offset;
    EXPECT_TRUE(TSfuSettings::Parse(b).*f.member) << f.offset;
  }
  TSfuSettings s;
  s.DestinationKind = 0x0105;
  s.ShowCommand = 1;
  s.PieceCount = 0x01020304;
  const TSfuSettings::Bytes b = s.Serialize();
  EXPECT_EQ(GetU16(b.data() + 572), 0x0105);
  EXPECT_EQ(GetU32(b.data() + 831), 1u);
  EXPECT_EQ(GetU32(b.data() + 1451), 0x01020304u);
  const TSfuSettings back = TSfuSettings::Parse(b);
  EXPECT_EQ(back.DestinationKind, 0x0105);
  EXPECT_EQ(back.ShowCommand, 1);
  EXPECT_EQ(back.PieceCount, 0x01020304u);
}

TEST(SfuSettings, TitleOfEightyCharactersIsCutInTheCaptionOnly) {
  const std::string title(80, 'T');
  TSfuSettings s;
  s.WindowCaption = title;
  s.ArchiveTitle = title;
  const TSfuSettings::Bytes b = s.Serialize();
  EXPECT_EQ(b[9], 50);
  EXPECT_EQ(b[1350], 80);
  const TSfuSettings back = TSfuSettings::Parse(b);
  EXPECT_EQ(back.WindowCaption, title.substr(0, 50));
  EXPECT_EQ(back.ArchiveTitle, title);
}

TEST(SfuSettings, TextsAreStoredInWindows1252) {
  TSfuSettings s;
  s.UniqueId = "none";
  s.StartMessage = "Caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\x80";  // "Café € 一"
  const TSfuSettings::Bytes b = s.Serialize();
  EXPECT_EQ(std::string(b.begin() + 1459, b.begin() + 1464), std::string("\x04none"));
  EXPECT_EQ(std::string(b.begin() + 60, b.begin() + 69), std::string("\x08" "Caf\xE9 \x80 _"));
  EXPECT_EQ(TSfuSettings::Parse(b).StartMessage, "Caf\xC3\xA9 \xE2\x82\xAC _");
}

TEST(SfuSettings, MagicDecidesAndVersionDoesNot) {
  TSfuSettings s;
  s.Version = 12345;
  TSfuSettings::Bytes b = s.Serialize();
  EXPECT_TRUE(HasSfuMagic(b));
  for (size_t at : {0, 1, 6}) {
    TSfuSettings::Bytes damaged = b;
    damaged[at] ^= 0x20;
    EXPECT_FALSE(HasSfuMagic(damaged)) << at;
  }
  EXPECT_EQ(TSfuSettings::Parse(b).Version, 12345);
}

TEST(SfuSettings, ResourceBytesFillAZeroRecord) {
  const TSfuSettings::Bytes full = TSfuSettings().Serialize();
  EXPECT_FALSE(HasSfuMagic(SfuRecordFromResource(nullptr, 0)));
  const TSfuSettings::Bytes shortRecord = SfuRecordFromResource(full.data(), 7);
  EXPECT_TRUE(HasSfuMagic(shortRecord));
  EXPECT_EQ(TSfuSettings::Parse(shortRecord).Version, 0);  // cut off, and still accepted
  std::string longer(full.begin(), full.end());
  longer += "extra";
  EXPECT_EQ(SfuRecordFromResource(longer.data(), longer.size()), full);
}

}  // namespace
}  // namespace kvx

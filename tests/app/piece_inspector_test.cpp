// The piece inspector's lines for first pieces, later pieces and other files.
#include "app/model/piece_inspector.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/dos_date.h"
#include "common/errors.h"
#include "common/file.h"
#include "common/trailers.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using ::testing::ElementsAre;

std::vector<uint8_t> WithRecord(std::vector<uint8_t> data, const uint8_t* record, size_t size) {
  data.insert(data.end(), record, record + size);
  return data;
}

TFirstPieceTrailer SampleFirst() {
  TFirstPieceTrailer t;
  t.FileName = "a=b.txt";
  t.FileSize = 5000000000ull;
  DateTimeParts when;
  when.year = 2024, when.month = 3, when.day = 9, when.hour = 14, when.minute = 5, when.second = 42;
  t.FileDate = EncodeDosDateTime(when);
  t.FileCrc = 0xFFFFFFFF;
  t.PieceCount = 11;
  t.SetTitle = "Holiday";
  t.Author = "Ann";
  t.Description = "Two weeks";
  t.UniqueId = "{id}";
  t.NameMask = "disk{num}.kxd";
  t.Spanned = 1;
  t.PieceSize = 498741;
  t.LastCrc = 17;
  return t;
}

TEST(PieceInspectorTest, FirstPieceShowsFourteenLines) {
  test::TempDir dir;
  const auto record = SampleFirst().Serialize();
  test::WriteAll(dir / "disk1.kxd", WithRecord(test::PatternBytes(3000), record.data(), record.size()));
  std::vector<std::string> lines;
  EXPECT_EQ(InspectPiece(dir / "disk1.kxd", lines), rkFirstPiece);
  EXPECT_THAT(lines, ElementsAre("Version=20001", "Filename=a=b.txt", "Size=5000000000", "Date/Time=2024-03-09 14:05:42",
                                 "File CRC=4294967295", "Piece Count=11", "Set Title=Holiday", "Author=Ann",
                                 "Description=Two weeks", "Unique ID={id}", "Name Mask=disk{num}.kxd", "Spanned=1",
                                 "Piece Size=498741", "Last CRC=17"));
}

TEST(PieceInspectorTest, LaterPieceShowsNineLinesNumberBeforeOffset) {
  test::TempDir dir;
  TPieceTrailer t;
  t.FileName = "movie.avi";
  t.SetTitle = "Holiday";
  t.UniqueId = "{id}";
  t.PieceSize = 499353;
  t.Offset = 4294967296ull + 5;
  t.LastCrc = 99;
  t.PieceNumber = 9;
  t.FinalPiece = 1;
  const auto record = t.Serialize();
  // Exactly a record long: the first-piece test cannot apply, the piece test can.
  test::WriteAll(dir / "disk9.kxd", std::vector<uint8_t>(record.begin(), record.end()));
  std::vector<std::string> lines;
  EXPECT_EQ(InspectPiece(dir / "disk9.kxd", lines), rkPiece);
  EXPECT_THAT(lines, ElementsAre("Version=20001", "Filename=movie.avi", "Set Title=Holiday", "Unique ID={id}",
                                 "Piece Size=499353", "Piece Number=9", "Offset=4294967301", "Last CRC=99",
                                 "Final Piece=1"));
}

TEST(PieceInspectorTest, OtherFilesAreNotPieces) {
  test::TempDir dir;
  auto record = SampleFirst().Serialize();
  record[0] = 7;
  const auto piece = TPieceTrailer().Serialize();  // the right letters behind another length byte
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"text", {'h', 'e', 'l', 'l', 'o'}},
      {"empty", {}},
      {"wrong length byte", WithRecord(test::PatternBytes(10), record.data(), record.size())},
      // A piece record cut short at its start: fewer bytes than a record never count as one.
      {"short", std::vector<uint8_t>(piece.begin() + 1, piece.end())},
  };
  for (const auto& c : cases) {
    test::WriteAll(dir / c.name, c.bytes);
    std::vector<std::string> lines{"stale"};
    EXPECT_EQ(InspectPiece(dir / c.name, lines), rkNone) << c.name;
    EXPECT_THAT(lines, ElementsAre("Result=Not a valid Karvex 2.0 piece file")) << c.name;
  }
}

TEST(PieceInspectorTest, NoFileShowsNothing) {
  std::vector<std::string> lines{"stale"};
  EXPECT_EQ(InspectPiece("", lines), rkNone);
  EXPECT_TRUE(lines.empty());
  test::TempDir dir;
  EXPECT_EQ(InspectPiece(dir / "partial", lines), rkNone);
  EXPECT_TRUE(lines.empty());
}

TEST(PieceInspectorTest, InvalidDateRaisesAndKeepsTheLinesBeforeIt) {
  test::TempDir dir;
  TFirstPieceTrailer t = SampleFirst();
  t.FileDate = -1;
  const auto record = t.Serialize();
  test::WriteAll(dir / "disk1.kxd", std::vector<uint8_t>(record.begin(), record.end()));
  std::vector<std::string> lines;
  try {
    InspectPiece(dir / "disk1.kxd", lines);
    FAIL() << "no error";
  } catch (const EKarvexError& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to date encode");
  }
  EXPECT_THAT(lines, ElementsAre("Version=20001", "Filename=a=b.txt", "Size=5000000000"));
}

TEST(PieceInspectorTest, MidnightShowsTheDateAlone) {
  DateTimeParts when;
  when.year = 2001, when.month = 12, when.day = 31;
  EXPECT_EQ(DosDateTimeText(EncodeDosDateTime(when)), "2001-12-31");
}

TEST(PieceInspectorTest, APieceHeldOpenByAnotherCannotBeInspected) {
  test::TempDir dir;
  const auto record = SampleFirst().Serialize();
  test::WriteAll(dir / "disk1.kxd", std::vector<uint8_t>(record.begin(), record.end()));
  TFile writer(dir / "disk1.kxd", cmOpenExisting, amWrite, smExclusive);
  std::vector<std::string> lines;
  try {
    InspectPiece(dir / "disk1.kxd", lines);
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Code(), kErrorSharingViolation);
  }
  EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace kvx

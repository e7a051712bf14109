#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <filesystem>
#include <vector>

#include "common/crc32.h"
#include "common/errors.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/trailers.h"
#include "engine/split_engine.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

struct Piece {
  std::vector<uint8_t> bytes;
  bool first = false;
  TFirstPieceTrailer head;
  TPieceTrailer tail;
  std::vector<uint8_t> Data() const {
    const size_t record = first ? TFirstPieceTrailer::kSize : TPieceTrailer::kSize;
    return std::vector<uint8_t>(bytes.begin(), bytes.end() - static_cast<long>(record));
  }
};

std::vector<uint8_t> Join(const std::vector<Piece>& pieces) {
  std::vector<uint8_t> joined;
  for (const Piece& p : pieces) {
    const std::vector<uint8_t> data = p.Data();
    joined.insert(joined.end(), data.begin(), data.end());
  }
  return joined;
}

Piece ReadPiece(const std::string& path, bool first) {
  Piece p;
  p.bytes = test::ReadAll(path);
  p.first = first;
  if (first) {
    TFirstPieceTrailer::Bytes b;
    std::memcpy(b.data(), p.bytes.data() + p.bytes.size() - b.size(), b.size());
    EXPECT_TRUE(HasTrailerMagic(b.data()));
    p.head = TFirstPieceTrailer::Parse(b);
  } else {
    TPieceTrailer::Bytes b;
    std::memcpy(b.data(), p.bytes.data() + p.bytes.size() - b.size(), b.size());
    EXPECT_TRUE(HasTrailerMagic(b.data()));
    p.tail = TPieceTrailer::Parse(b);
  }
  return p;
}

class SplitEngineTest : public ::testing::Test {
 protected:
  void MakeSource(size_t size) {
    original = test::PatternBytes(size);
    test::WriteAll(dir / "movie.avi", original);
    engine.SourceFile = dir / "movie.avi";
    engine.DestFolder = dir / "out";
    engine.UniqueId = "{SET}";
    engine.SetTitle = "Holiday";
  }
  std::string PiecePath(int n) const { return AddBackslash(engine.DestFolder) + engine.PieceFileName(n); }
  bool PieceExists(int n) const { return os::FileExists(PiecePath(n)); }

  test::TempDir dir;
  TMoteurKarvex engine;
  std::vector<uint8_t> original;
};

TEST_F(SplitEngineTest, MillionBytesInHalfMillionPieces) {
  MakeSource(1000000);
  ASSERT_TRUE(engine.Split());
  EXPECT_EQ(engine.PiecesWritten, 3);

  const Piece p1 = ReadPiece(PiecePath(1), true), p2 = ReadPiece(PiecePath(2), false),
              p3 = ReadPiece(PiecePath(3), false);
  EXPECT_EQ(p1.bytes.size(), 500000u);
  EXPECT_EQ(p2.bytes.size(), 500000u);
  EXPECT_EQ(p3.bytes.size(), 2553u);
  EXPECT_EQ(p1.head.PieceSize, 498741u);
  EXPECT_EQ(p2.tail.PieceSize, 499353u);
  EXPECT_EQ(p3.tail.PieceSize, 1906u);
  EXPECT_EQ(p2.tail.Offset, 498741u);
  EXPECT_EQ(p3.tail.Offset, 498741u + 499353u);
  EXPECT_EQ(p2.tail.PieceNumber, 2u);
  EXPECT_EQ(p3.tail.PieceNumber, 3u);
  EXPECT_EQ(p2.tail.FinalPiece, 0);
  EXPECT_EQ(p3.tail.FinalPiece, 1);

  // One register over the whole file, stored without the final inversion.
  const auto crcUpTo = [&](size_t end) { return UpdateCrcLong(original.data(), end, CrcInit); };
  EXPECT_EQ(p1.head.LastCrc, crcUpTo(498741));
  EXPECT_EQ(p2.tail.LastCrc, crcUpTo(498741 + 499353));
  EXPECT_EQ(p3.tail.LastCrc, crcUpTo(1000000));
  EXPECT_EQ(p1.head.FileCrc, crcUpTo(1000000));
  EXPECT_EQ(p1.head.PieceCount, 3u);
  EXPECT_EQ(p1.head.FileSize, 1000000u);
  EXPECT_EQ(p1.head.FileName, "movie.avi");
  EXPECT_EQ(p1.head.SetTitle, "Holiday");
  EXPECT_EQ(p1.head.UniqueId, "{SET}");
  EXPECT_EQ(p1.head.NameMask, "disk{num}.kxd");
  EXPECT_EQ(p1.head.Spanned, 0);
  EXPECT_EQ(p2.tail.SetTitle, "Holiday");

  EXPECT_EQ(Join({p1, p2, p3}), original);
}

TEST_F(SplitEngineTest, ExactFitKeepsFinalPieceClear) {
  MakeSource(998094);
  ASSERT_TRUE(engine.Split());
  EXPECT_EQ(engine.PiecesWritten, 2);
  const Piece p2 = ReadPiece(PiecePath(2), false);
  EXPECT_EQ(p2.bytes.size(), 500000u);
  EXPECT_EQ(std::filesystem::file_size(PiecePath(1)), 500000u);
  EXPECT_EQ(p2.tail.FinalPiece, 0);
  EXPECT_FALSE(PieceExists(3));
}

TEST_F(SplitEngineTest, ReservesComeOffTheirVolumes) {
  MakeSource(1000000);
  engine.FirstDiskReserve = 1000;
  engine.OtherDiskReserve = 500;
  ASSERT_TRUE(engine.Split());
  EXPECT_EQ(ReadPiece(PiecePath(1), true).head.PieceSize, 497741u);
  EXPECT_EQ(ReadPiece(PiecePath(2), false).tail.PieceSize, 498853u);
}

TEST_F(SplitEngineTest, SmallerThanOnePieceIsOnePieceWrittenLast) {
  MakeSource(0);
  test::WriteAll(engine.SourceFile, {'1', '2', '3', '4', '5', '6', '7', '8', '9'});
  std::vector<int> done;
  engine.OnPieceDone = [&](int n) { done.push_back(n); };
  ASSERT_TRUE(engine.Split());
  EXPECT_EQ(done, std::vector<int>{1});
  EXPECT_EQ(engine.PiecesWritten, 1);
  const Piece p1 = ReadPiece(PiecePath(1), true);
  EXPECT_EQ(p1.head.PieceCount, 1u);
  EXPECT_EQ(p1.head.PieceSize, 9u);
  EXPECT_EQ(p1.head.FileCrc, 0x340BC6D9u);
  EXPECT_EQ(p1.head.LastCrc, 0x340BC6D9u);
}

TEST_F(SplitEngineTest, EmptyOriginalIsOneRecord) {
  MakeSource(0);
  ASSERT_TRUE(engine.Split());
  const Piece p1 = ReadPiece(PiecePath(1), true);
  EXPECT_EQ(p1.bytes.size(), TFirstPieceTrailer::kSize);
  EXPECT_EQ(p1.head.PieceCount, 1u);
  EXPECT_EQ(p1.head.PieceSize, 0u);
  EXPECT_EQ(p1.head.FileCrc, 0xFFFFFFFFu);
}

TEST_F(SplitEngineTest, HeadersOffWritesBareData) {
  MakeSource(250000);
  engine.NoHeader = true;
  engine.PieceSize = 100000;
  ASSERT_TRUE(engine.Split());
  ASSERT_EQ(engine.PiecesWritten, 3);
  std::vector<uint8_t> joined;
  for (int n = 1; n <= 3; ++n) {
    const auto bytes = test::ReadAll(PiecePath(n));
    EXPECT_EQ(bytes.size(), n < 3 ? 100000u : 50000u);
    joined.insert(joined.end(), bytes.begin(), bytes.end());
  }
  EXPECT_EQ(joined, original);
}

TEST_F(SplitEngineTest, PieceTooSmallForItsRecordPromptsNoSpace) {
  MakeSource(5000);
  engine.PieceSize = 1259;
  std::vector<std::tuple<int, TPromptKind, int64_t>> prompts;
  engine.OnPrompt = [&](int n, TPromptKind kind, int64_t size, std::string& folder) {
    prompts.emplace_back(n, kind, size);
    folder.clear();
  };
  EXPECT_FALSE(engine.Split());
  EXPECT_TRUE(engine.Aborted);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0], std::make_tuple(1, pkNoSpace, int64_t{0}));
  EXPECT_FALSE(PieceExists(1));
}

TEST_F(SplitEngineTest, WithoutPromptANoSpacePieceIsAnError) {
  MakeSource(5000);
  engine.PieceSize = 100;
  try {
    engine.Split();
    FAIL() << "no error";
  } catch (const EKarvexError& e) {
    EXPECT_STREQ(e.what(), "Not enough space on the destination disk or invalid piece size");
  }
}

TEST_F(SplitEngineTest, HookMayHandInALargerSizeThanRemains) {
  MakeSource(300000);
  engine.OnPieceBegin = [](int n, std::string&, int64_t& size) { size = n == 1 ? 100000 : 1000000; };
  ASSERT_TRUE(engine.Split());
  ASSERT_EQ(engine.PiecesWritten, 2);
  const Piece p2 = ReadPiece(PiecePath(2), false);
  EXPECT_EQ(p2.tail.PieceSize, 300000u - 98741u);
  EXPECT_EQ(p2.tail.FinalPiece, 1);
}

TEST_F(SplitEngineTest, HooksComeInWriteOrder) {
  MakeSource(1000000);
  std::vector<std::string> events;
  engine.OnPieceBegin = [&](int n, std::string&, int64_t&) { events.push_back("begin " + std::to_string(n)); };
  engine.OnSfuSize = [&](int64_t&, int64_t) { events.push_back("sfu size"); };
  engine.OnPieceCopy = [&](int n, const std::string&, int64_t) { events.push_back("copy " + std::to_string(n)); };
  engine.OnPieceDone = [&](int n) { events.push_back("done " + std::to_string(n)); };
  engine.OnMergeSfu = [&](TMemoryStream&, std::string&) { events.push_back("merge"); };
  ASSERT_TRUE(engine.Split());
  EXPECT_EQ(events, (std::vector<std::string>{"begin 1", "sfu size", "copy 1", "begin 2", "copy 2", "done 2",
                                               "begin 3", "copy 3", "done 3", "merge", "copy 1", "done 1"}));
}

TEST_F(SplitEngineTest, MergedProgramComesFirstInPieceOne) {
  MakeSource(1000000);
  const std::vector<uint8_t> program = test::PatternBytes(7000, 9);
  engine.OnSfuSize = [&](int64_t& size, int64_t) { size = static_cast<int64_t>(program.size()); };
  engine.OnMergeSfu = [&](TMemoryStream& stream, std::string& path) {
    stream.Write(program.data(), program.size());
    path = AddBackslash(engine.DestFolder) + "disk1.EXE";
  };
  ASSERT_TRUE(engine.Split());
  EXPECT_FALSE(PieceExists(1));
  const Piece p1 = ReadPiece(dir / "out" + std::string(1, os::PathSeparator()) + "disk1.EXE", true);
  EXPECT_EQ(p1.head.PieceSize, 500000u - 1259u - 7000u);
  EXPECT_EQ(p1.bytes.size(), 7000u + p1.head.PieceSize + 1259u);
  EXPECT_TRUE(std::equal(program.begin(), program.end(), p1.bytes.begin()));
  EXPECT_TRUE(std::equal(original.begin(), original.begin() + static_cast<long>(p1.head.PieceSize),
                         p1.bytes.begin() + 7000));
}

TEST_F(SplitEngineTest, CancelDuringPieceFourOfSix) {
  MakeSource(600000);
  engine.PieceSize = 100000 + 647;  // pieces 2.. hold 100000 bytes
  engine.OnProgress = [&](uint16_t, uint16_t) {
    if (engine.PieceNumber == 4 && engine.PieceBytes > 0) engine.Aborted = true;
  };
  EXPECT_FALSE(engine.Split());
  EXPECT_FALSE(PieceExists(1));
  EXPECT_EQ(ReadPiece(PiecePath(2), false).tail.PieceNumber, 2u);
  EXPECT_EQ(ReadPiece(PiecePath(3), false).tail.PieceNumber, 3u);
  // Piece 4 stays as it was: full size reserved, no record.
  const auto partial = test::ReadAll(PiecePath(4));
  EXPECT_EQ(partial.size(), 100000u);
  EXPECT_FALSE(HasTrailerMagic(partial.data() + partial.size() - TPieceTrailer::kSize));
  EXPECT_FALSE(PieceExists(5));
}

TEST_F(SplitEngineTest, CancelDuringTheFinalWriteOfPieceOne) {
  MakeSource(300000);
  engine.PieceSize = 150000;
  bool finalWrite = false;
  engine.OnPieceCopy = [&](int n, const std::string&, int64_t) { finalWrite = n == 1 && engine.PiecesWritten > 0; };
  engine.OnProgress = [&](uint16_t, uint16_t) {
    if (finalWrite && engine.PieceBytes > 0) engine.Aborted = true;
  };
  EXPECT_FALSE(engine.Split());
  EXPECT_TRUE(PieceExists(2));
}

TEST_F(SplitEngineTest, SpannedAsksForEachDiskThenTheFirst) {
  MakeSource(250000);
  engine.Blocked = false;
  // Each "disk" takes 100000 bytes: the hook stands in for the free space of a volume.
  engine.OnPieceBegin = [](int, std::string&, int64_t& size) { size = 100000; };
  std::vector<std::pair<int, TPromptKind>> prompts;
  engine.OnPrompt = [&](int n, TPromptKind kind, int64_t, std::string& folder) {
    prompts.emplace_back(n, kind);
    if (kind == pkNextDisk) folder = dir / ("disk" + std::to_string(n));
  };
  ASSERT_TRUE(engine.Split());
  EXPECT_EQ(prompts, (std::vector<std::pair<int, TPromptKind>>{{2, pkNextDisk}, {1, pkFirstDisk}}));
  const std::string sep(1, os::PathSeparator());
  const Piece p1 = ReadPiece(dir / "out" + sep + "disk1.kxd", true);
  const Piece p2 = ReadPiece(dir / "disk2" + sep + "disk2.kxd", false);
  const Piece p3 = ReadPiece(dir / "disk2" + sep + "disk3.kxd", false);
  EXPECT_EQ(p1.head.Spanned, 1);
  EXPECT_EQ(p1.head.PieceCount, 3u);
  EXPECT_EQ(Join({p1, p2, p3}), original);
}

TEST_F(SplitEngineTest, SpannedCancelAtTheNextDisk) {
  MakeSource(250000);
  engine.Blocked = false;
  engine.OnPieceBegin = [](int, std::string&, int64_t& size) { size = 100000; };
  engine.OnPrompt = [](int, TPromptKind, int64_t, std::string& folder) { folder.clear(); };
  EXPECT_FALSE(engine.Split());
  EXPECT_FALSE(PieceExists(1));
  EXPECT_FALSE(PieceExists(2));
}

TEST_F(SplitEngineTest, SourceThatCannotBeOpenedWritesNothing) {
  MakeSource(1000);
  TFile holder(engine.SourceFile, cmOpenExisting, amRead, smExclusive);
  try {
    engine.Split();
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Code(), kErrorSharingViolation);
  }
  engine.SourceFile = dir / "missing.bin";
  EXPECT_THROW(engine.Split(), EOSError);
  EXPECT_FALSE(os::DirectoryExists(engine.DestFolder));
}

TEST_F(SplitEngineTest, SourceIsReleasedAfterAnError) {
  MakeSource(1000000);
  engine.OnPieceDone = [](int n) {
    if (n == 2) throw EKarvexError("stop");
  };
  EXPECT_THROW(engine.Split(), EKarvexError);
  TFile again(engine.SourceFile, cmOpenExisting, amRead, smExclusive);  // not left locked
  EXPECT_TRUE(PieceExists(2));
}

TEST_F(SplitEngineTest, EmptyDestinationCannotBeCreated) {
  MakeSource(1000);
  engine.DestFolder = "";
  try {
    engine.Split();
    FAIL() << "no error";
  } catch (const EKarvexError& e) {
    EXPECT_STREQ(e.what(), "Unable to create directory");
  }
}

TEST_F(SplitEngineTest, ProgressReachesAHundredOnlyInTheFinalWrite) {
  MakeSource(300000);
  std::vector<std::pair<int, int>> seen;
  engine.OnProgress = [&](uint16_t piece, uint16_t file) { seen.emplace_back(engine.PieceNumber, file); };
  ASSERT_TRUE(engine.Split());
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().second, 0);  // the checksum pass of piece 1 moves no file percentage
  EXPECT_EQ(seen.back(), std::make_pair(1, 100));
  for (const auto& s : seen) {
    if (s.second == 100) {
      EXPECT_EQ(s.first, 1);
    }
  }
}

}  // namespace
}  // namespace kvx

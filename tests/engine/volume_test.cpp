// Splits that meet the limits of a real volume: originals past 4 GiB and a volume that fills
// up. POSIX only: the first writes gigabytes, the second stands a file-size limit in for a
// full disk.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "common/errors.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/trailers.h"
#include "engine/split_engine.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

namespace fs = std::filesystem;

template <typename Record>
Record ReadRecord(const std::string& path) {
  typename Record::Bytes b;
  TFile f(path, cmOpenExisting, amRead, smShareRead);
  f.Seek(2, -static_cast<int64_t>(b.size()));
  f.ReadExact(b.data(), b.size());
  EXPECT_TRUE(HasTrailerMagic(b.data()));
  return Record::Parse(b);
}

void WriteAt(TFile& f, int64_t offset, const std::string& text) {
  f.Seek(0, offset);
  f.Write(text.data(), static_cast<uint32_t>(text.size()));
}

std::string ReadAt(const std::string& path, int64_t offset, size_t size) {
  TFile f(path, cmOpenExisting, amRead, smShareRead);
  f.Seek(0, offset);
  std::string text(size, '\0');
  f.ReadExact(text.data(), static_cast<uint32_t>(size));
  return text;
}

// A RAM folder keeps gigabytes of pieces off the disk when it has room.
std::string LargeScratchRoot() {
  std::error_code ec;
  const auto space = fs::space("/dev/shm", ec);
  return !ec && space.available > (int64_t{7} << 30) ? "/dev/shm" : fs::temp_directory_path().string();
}

TEST(Volume, OriginalPastFourGiBCarriesSixtyFourBitOffsets) {
  const std::string root = AddBackslash(LargeScratchRoot()) + "kvx-large-" + std::to_string(getpid());
  fs::create_directories(root);
  struct Cleanup {
    std::string path;
    ~Cleanup() { fs::remove_all(path); }
  } cleanup{root};

  // Two pieces of just over 2 GiB put the third one's offset past 4 GiB.
  const int64_t size = (int64_t{4} << 30) + (int64_t{1} << 20);
  const int64_t pieceSize = (int64_t{2} << 30) + 4096;
  const std::string source = root + "/big.iso";
  {
    TFile f(source, cmCreateAlways, amWrite, smExclusive);
    WriteAt(f, 0, "HEAD");
    WriteAt(f, (int64_t{4} << 30) + 100000, "PAST4GIB");
    WriteAt(f, size - 4, "TAIL");
  }
  TMoteurKarvex engine;
  engine.SourceFile = source;
  engine.DestFolder = root + "/out";
  engine.PieceSize = pieceSize;
  ASSERT_TRUE(engine.Split());
  ASSERT_EQ(engine.PiecesWritten, 3);

  const auto p1 = ReadRecord<TFirstPieceTrailer>(root + "/out/disk1.kxd");
  const auto p2 = ReadRecord<TPieceTrailer>(root + "/out/disk2.kxd");
  const auto p3 = ReadRecord<TPieceTrailer>(root + "/out/disk3.kxd");
  EXPECT_EQ(p1.FileSize, static_cast<uint64_t>(size));
  EXPECT_EQ(p1.PieceSize, static_cast<uint64_t>(pieceSize - 1259));
  EXPECT_EQ(p2.Offset, p1.PieceSize);
  EXPECT_EQ(p2.PieceSize, static_cast<uint64_t>(pieceSize - 647));
  EXPECT_EQ(p3.Offset, p1.PieceSize + p2.PieceSize);
  EXPECT_GT(p3.Offset, uint64_t{1} << 32);
  EXPECT_EQ(p3.Offset + p3.PieceSize, static_cast<uint64_t>(size));
  EXPECT_EQ(p3.FinalPiece, 1);
  EXPECT_EQ(p1.FileCrc, p3.LastCrc);

  // The marker past 4 GiB lies in piece 3 at its offset within the piece.
  const int64_t marker = (int64_t{4} << 30) + 100000;
  EXPECT_EQ(ReadAt(root + "/out/disk3.kxd", marker - static_cast<int64_t>(p3.Offset), 8), "PAST4GIB");
  EXPECT_EQ(ReadAt(root + "/out/disk1.kxd", 0, 4), "HEAD");
  EXPECT_EQ(ReadAt(root + "/out/disk3.kxd", static_cast<int64_t>(p3.PieceSize) - 4, 4), "TAIL");
}

TEST(Volume, FullVolumeFailsAtPreSizingAndEarlierPiecesStay) {
  test::TempDir dir;
  test::WriteAll(dir / "src.bin", test::PatternBytes(1500000));
  TMoteurKarvex engine;
  engine.SourceFile = dir / "src.bin";
  engine.DestFolder = dir / "out";

  rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = signal(SIGXFSZ, SIG_IGN);
  // Once piece 2 is on disk the "volume" takes no file larger than 100000 bytes.
  engine.OnPieceDone = [](int n) {
    rlimit full{100000, 100000};
    if (n == 2) setrlimit(RLIMIT_FSIZE, &full);
  };
  uint32_t code = 0;
  try {
    engine.Split();
  } catch (const EOSError& e) {
    code = e.Code();
  }
  // Only the soft limit can be raised again by an unprivileged process: restore it first.
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);

  EXPECT_EQ(code, kErrorDiskFull);
  EXPECT_EQ(fs::file_size(dir / "out/disk2.kxd"), 500000u);
  EXPECT_EQ(ReadRecord<TPieceTrailer>(dir / "out/disk2.kxd").PieceNumber, 2u);
  EXPECT_FALSE(os::FileExists(dir / "out/disk1.kxd"));
}

}  // namespace
}  // namespace kvx
#endif

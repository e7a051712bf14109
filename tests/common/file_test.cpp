#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "common/disk.h"
#include "common/errors.h"
#include "common/file.h"
#include "common/os/os.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

uint32_t CodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EOSError& e) {
    return e.Code();
  }
  return 0;
}

TEST(TFile, WriteReadSeekAndSize) {
  test::TempDir dir;
  const std::string path = dir / "a.bin";
  {
    TFile f(path, cmCreateAlways, amWrite, smExclusive);
    f.Write("hello world", 11);
    EXPECT_EQ(f.Position(), 11);
    EXPECT_EQ(f.Size(), 11);
  }
  TFile f(path, cmOpenExisting, amRead, smExclusive);
  EXPECT_EQ(f.Seek(2, -5), 6);
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 8), 5u);
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(f.SeekStart(0), 0);
  f.ReadExact(buf, 5);
  EXPECT_EQ(std::string(buf, 5), "hello");
}

TEST(TFile, ReadExactPastTheEndRaises38AndStillMoves) {
  test::TempDir dir;
  test::WriteAll(dir / "a.bin", {1, 2, 3});
  TFile f(dir / "a.bin", cmOpenExisting, amRead, smExclusive);
  uint8_t buf[8];
  EXPECT_EQ(CodeOf([&] { f.ReadExact(buf, 8); }), kErrorHandleEof);
  EXPECT_EQ(f.Position(), 3);
}

TEST(TFile, OpenErrorsCarryTheirCodes) {
  test::TempDir dir;
  EXPECT_EQ(CodeOf([&] { TFile f(dir / "missing", cmOpenExisting, amRead, smExclusive); }), kErrorFileNotFound);
  test::WriteAll(dir / "there", {1});
  EXPECT_EQ(CodeOf([&] { TFile f(dir / "there", cmCreateNew, amWrite, smExclusive); }), kErrorFileExists);
  EXPECT_NE(CodeOf([&] { TFile f(dir / "no/such/folder/x", cmCreateAlways, amWrite, smExclusive); }), 0u);
}

TEST(TFile, ExclusiveOpenIsASharingViolationForOthers) {
  test::TempDir dir;
  test::WriteAll(dir / "held", {1, 2, 3});
  TFile holder(dir / "held", cmOpenExisting, amRead, smExclusive);
  EXPECT_EQ(CodeOf([&] { TFile f(dir / "held", cmOpenExisting, amRead, smExclusive); }), kErrorSharingViolation);
  EXPECT_EQ(CodeOf([&] { TFile f(dir / "held", cmCreateAlways, amWrite, smExclusive); }), kErrorSharingViolation);
  // A refused create-always must not have emptied the file.
  EXPECT_EQ(holder.Size(), 3);
}

TEST(TFile, SharedReadersMeetButAWriterDoesNot) {
  test::TempDir dir;
  test::WriteAll(dir / "s", {1});
  TFile reader(dir / "s", cmOpenExisting, amRead, smShareRead);
  TFile other(dir / "s", cmOpenExisting, amRead, smShareRead);
  EXPECT_EQ(CodeOf([&] { TFile f(dir / "s", cmOpenExisting, amRead, smExclusive); }), kErrorSharingViolation);
}

TEST(TFile, CopyToMovesBothPositionsAndRaises38AtTheEnd) {
  test::TempDir dir;
  const auto bytes = test::PatternBytes(200000);
  test::WriteAll(dir / "from", bytes);
  TFile from(dir / "from", cmOpenExisting, amRead, smExclusive);
  {
    TFile to(dir / "to", cmCreateAlways, amWrite, smExclusive);
    to.Write("ab", 2);
    from.Seek(0, 1000);
    from.CopyTo(to, 150000);
    EXPECT_EQ(from.Position(), 151000);
    EXPECT_EQ(to.Position(), 150002);
    EXPECT_EQ(CodeOf([&] { from.CopyTo(to, 60000); }), kErrorHandleEof);
  }
  const auto copied = test::ReadAll(dir / "to");
  ASSERT_EQ(copied.size(), 2u + 150000u + 49000u);
  EXPECT_TRUE(std::equal(bytes.begin() + 1000, bytes.end(), copied.begin() + 2));
}

TEST(TFile, TruncatePreSizesAndCuts) {
  test::TempDir dir;
  TFile f(dir / "p", cmCreateAlways, amReadWrite, smExclusive);
  f.Seek(0, 100000);
  f.Truncate();
  EXPECT_EQ(f.Size(), 100000);
  f.SeekStart(10);
  f.Truncate();
  EXPECT_EQ(f.Size(), 10);
}

TEST(TFile, PositionsPastFourGiB) {
  test::TempDir dir;
  const int64_t beyond = (int64_t{1} << 32) + 12345;
  TFile f(dir / "sparse", cmCreateAlways, amReadWrite, smExclusive);
  EXPECT_EQ(f.Seek(0, beyond), beyond);
  f.Write("x", 1);
  EXPECT_EQ(f.Size(), beyond + 1);
  EXPECT_EQ(f.Position(), beyond + 1);
  EXPECT_EQ(f.Seek(1, -1), beyond);
  char c = 0;
  f.ReadExact(&c, 1);
  EXPECT_EQ(c, 'x');
}

TEST(OSError, MessageCarriesCodeAndSystemText) {
  const EOSError e(kErrorSharingViolation);
  EXPECT_EQ(std::string(e.what()), "System Error.  Code: 32.\r\n" + os::SystemErrorText(32));
  EXPECT_FALSE(os::SystemErrorText(32).empty());
  EXPECT_EQ(std::string(EOSError(0).what()), "A call to an OS function failed");
}

TEST(Disk, FreeSpaceOfAFolder) {
  test::TempDir dir;
  EXPECT_GT(FolderFreeSpace(dir.Path()), 0);
  EXPECT_GT(DriveFreeSpace(dir / "x"), 0);
  EXPECT_GE(DriveTotalSpace(dir / "x"), DriveFreeSpace(dir / "x"));
  EXPECT_NE(CodeOf([&] { FolderFreeSpace(dir / "missing"); }), 0u);
}

}  // namespace
}  // namespace kvx

#ifndef _WIN32
namespace kvx {
namespace {

// On a memory-backed volume pre-sizing checks the free space instead of zero-filling pages.
TEST(TFile, PreSizingBeyondAMemoryVolumeFails) {
  if (!os::DirectoryExists("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
  const std::string path = "/dev/shm/kvx-presize-" + std::to_string(::getpid());
  {
    TFile f(path, cmCreateAlways, amWrite, smExclusive);
    f.Seek(0, int64_t{1} << 40);
    EXPECT_EQ(CodeOf([&] { f.Truncate(); }), kErrorDiskFull);
    f.SeekStart(100000);
    f.Truncate();
    EXPECT_EQ(f.Size(), 100000);
  }
  os::RemoveFile(path);
}

}  // namespace
}  // namespace kvx
#endif

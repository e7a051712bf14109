#include <gtest/gtest.h>

#include <algorithm>

#include "common/checked_copy.h"
#include "common/crc32.h"
#include "common/errors.h"
#include "common/file.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

class CopyWithCrcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes = test::PatternBytes(3 * 1048576 + 12345);
    test::WriteAll(dir / "from", bytes);
  }
  test::TempDir dir;
  std::vector<uint8_t> bytes;
};

TEST_F(CopyWithCrcTest, CopiesTheStretchAndRunsTheRegisterOverIt) {
  // Across the block size (256 KiB) and the ring of four blocks the writer thread works through.
  for (const int64_t count : {int64_t{0}, int64_t{1}, int64_t{262144}, int64_t{262145}, int64_t{1048577},
                              int64_t{3 * 1048576}}) {
    uint32_t crc = 0x12345678;
    {
      TFile from(dir / "from", cmOpenExisting, amRead, smExclusive);
      TFile to(dir / "to", cmCreateAlways, amWrite, smExclusive);
      from.Seek(0, 7);
      int64_t reported = 0;
      EXPECT_EQ(CopyWithCrc(from, to, count, crc, [&](uint32_t block) {
                  reported += block;
                  return true;
                }),
                count);
      EXPECT_EQ(reported, count);
      EXPECT_EQ(from.Position(), 7 + count);
      EXPECT_EQ(to.Position(), count);
    }
    EXPECT_EQ(crc, UpdateCrcLong(bytes.data() + 7, static_cast<size_t>(count), 0x12345678)) << count;
    const std::vector<uint8_t> copied = test::ReadAll(dir / "to");
    ASSERT_EQ(copied.size(), static_cast<size_t>(count));
    EXPECT_TRUE(std::equal(copied.begin(), copied.end(), bytes.begin() + 7)) << count;
  }
}

TEST_F(CopyWithCrcTest, StopsWhenAskedAndRaises38AtTheEndOfTheSource) {
  TFile from(dir / "from", cmOpenExisting, amRead, smExclusive);
  TFile to(dir / "to", cmCreateAlways, amWrite, smExclusive);
  uint32_t crc = CrcInit;
  const int64_t stopped = CopyWithCrc(from, to, static_cast<int64_t>(bytes.size()), crc, [](uint32_t) { return false; });
  EXPECT_GT(stopped, 0);
  EXPECT_LT(stopped, static_cast<int64_t>(bytes.size()));

  from.Seek(0, static_cast<int64_t>(bytes.size()) - 10);
  try {
    CopyWithCrc(from, to, 100, crc, [](uint32_t) { return true; });
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Code(), kErrorHandleEof);
  }
}

TEST_F(CopyWithCrcTest, AFailedWriteIsRaisedToTheReadingThread) {
  test::WriteAll(dir / "to", {});
  TFile from(dir / "from", cmOpenExisting, amRead, smExclusive);
  TFile to(dir / "to", cmOpenExisting, amRead, smExclusive);  // every write fails
  uint32_t crc = CrcInit;
  EXPECT_THROW(CopyWithCrc(from, to, static_cast<int64_t>(bytes.size()), crc, [](uint32_t) { return true; }), EOSError);
}

}  // namespace
}  // namespace kvx

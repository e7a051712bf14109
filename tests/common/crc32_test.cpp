#include <gtest/gtest.h>

#include <vector>

#include "common/crc32.h"
#include "common/memory_stream.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

const char kDigits[] = "123456789";

TEST(Crc32, CheckValueOfTheNineDigits) {
  EXPECT_EQ(UpdateCrc(kDigits, 9, CrcInit), 0x340BC6D9u);
  EXPECT_EQ(~UpdateCrc(kDigits, 9, CrcInit), 0xCBF43926u);
}

TEST(Crc32, TableIsTheReflectedPolynomialTable) {
  EXPECT_EQ(CrcTable[0], 0u);
  EXPECT_EQ(CrcTable[1], 0x77073096u);
  EXPECT_EQ(CrcTable[128], 0xEDB88320u);
  EXPECT_EQ(CrcTable[255], 0x2D02EF8Du);
}

TEST(Crc32, LengthOfZeroOrLessLeavesTheRegister) {
  EXPECT_EQ(UpdateCrc(kDigits, 0, 0x12345678u), 0x12345678u);
  EXPECT_EQ(UpdateCrc(kDigits, -5, 0x12345678u), 0x12345678u);
}

TEST(Crc32, RegisterRunsOnAcrossSplitBuffers) {
  const auto bytes = test::PatternBytes(100003);
  const uint32_t whole = UpdateCrcLong(bytes.data(), bytes.size(), CrcInit);
  for (size_t cut : {size_t{1}, size_t{7}, size_t{65536}, size_t{100002}}) {
    uint32_t crc = UpdateCrcLong(bytes.data(), cut, CrcInit);
    crc = UpdateCrcLong(bytes.data() + cut, bytes.size() - cut, crc);
    EXPECT_EQ(crc, whole) << "cut at " << cut;
  }
}

TEST(Crc32, EveryImplementationGivesTheSameRegister) {
  const auto bytes = test::PatternBytes(70001, 7);
  for (size_t length : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{63}, size_t{64},
                        size_t{65}, size_t{255}, size_t{4097}, size_t{70001}}) {
    for (size_t offset : {size_t{0}, size_t{1}, size_t{3}}) {
      if (offset + length > bytes.size()) continue;
      const uint8_t* data = bytes.data() + offset;
      const uint32_t expected = crc32_impl::ByTable(data, length, CrcInit);
      EXPECT_EQ(crc32_impl::BySlicing(data, length, CrcInit), expected) << length << "+" << offset;
      EXPECT_EQ(UpdateCrcLong(data, length, CrcInit), expected) << length << "+" << offset;
    }
  }
}

TEST(Crc32, StreamCrcFromThePositionToTheEnd) {
  TMemoryStream stream;
  stream.Write(kDigits, 9);
  stream.Seek(0);
  EXPECT_EQ(StreamCrc32(stream), 0xCBF43926u);
  EXPECT_EQ(stream.Position(), 9u);
  EXPECT_EQ(StreamCrc32(stream), 0u);  // at its end: nothing left

  const auto bytes = test::PatternBytes(5000);  // several 2048-byte blocks
  TMemoryStream big;
  big.Write(bytes.data(), bytes.size());
  big.Seek(0);
  EXPECT_EQ(StreamCrc32(big), ~UpdateCrcLong(bytes.data(), bytes.size(), CrcInit));
}

}  // namespace
}  // namespace kvx

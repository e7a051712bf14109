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

struct Implementation {
  const char* name;
  uint32_t (*update)(const uint8_t*, size_t, uint32_t);
};

// Every path checked against the byte table, the carry-less ones where this CPU has them.
std::vector<Implementation> FastImplementations() {
  std::vector<Implementation> list = {
      {"slicing", crc32_impl::BySlicing},
      {"UpdateCrcLong", [](const uint8_t* d, size_t n, uint32_t c) { return UpdateCrcLong(d, n, c); }}};
#if KVX_CRC32_CLMUL
  if (crc32_impl::ClmulAvailable()) list.push_back({"clmul", crc32_impl::ByClmul});
  if (crc32_impl::ClmulAvx512Available()) list.push_back({"clmul-avx512", crc32_impl::ByClmulAvx512});
#endif
  return list;
}

TEST(Crc32, EveryImplementationGivesTheSameRegister) {
  const auto bytes = test::PatternBytes(300000, 7);
  // Every short length (the carry-less paths start at 64 and 256 bytes and end folding 16 bytes
  // at a time), then lengths around multiples of their blocks, then large ones.
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 600; ++n) lengths.push_back(n);
  for (size_t n : {1023, 1024, 1025, 4097, 65535, 65536, 65537, 299990}) lengths.push_back(n);
  const auto implementations = FastImplementations();
  for (size_t length : lengths) {
    for (size_t offset : {0, 1, 3, 8}) {  // odd offsets: unaligned loads
      for (uint32_t start : {CrcInit, 0u, 0x9E3779B9u}) {
        const uint8_t* data = bytes.data() + offset;
        const uint32_t expected = crc32_impl::ByTable(data, length, start);
        for (const auto& impl : implementations)
          ASSERT_EQ(impl.update(data, length, start), expected)
              << impl.name << ": length " << length << ", offset " << offset << ", register " << start;
      }
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

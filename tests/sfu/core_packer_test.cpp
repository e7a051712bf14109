#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/byte_io.h"
#include "sfu/builder/core_packer.h"
#include "sfu/builder/lzma_compressor.h"
#include "sfu/shared/packed_core.h"
#include "pe_test_support.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include "common/os/win32.h"  // the SDK's Types.h includes <windows.h>
#endif
extern "C" {
#include <LzmaDec.h>
}

namespace kvx {
namespace {

using Bytes = std::vector<uint8_t>;

// Machine-code-like bytes: runs of calls and jumps between patterned filler.
Bytes CodeLikeImage(size_t size) {
  Bytes image = test::PatternBytes(size, 7);
  for (size_t i = 0; i + 5 < size; i += 37) {
    image[i] = (i / 37) % 3 == 0 ? 0xE9 : 0xE8;
    PutU32(&image[i + 1], static_cast<uint32_t>(0x1000 - i));
  }
  return image;
}

void* Alloc(void*, size_t size) { return std::malloc(size); }
void Free(void*, void* address) { std::free(address); }
ISzAlloc gAlloc = {Alloc, Free};

// The bytes the packed core's LZMA stream holds, decoded in one go (filter not undone); the
// stream must end with the end marker right at the end of the resource.
Bytes RawLzmaData(const Bytes& packed) {
  Bytes out(GetU32(&packed[2]) + 16);
  SizeT outSize = out.size();
  SizeT inSize = packed.size() - 19;
  ELzmaStatus status;
  EXPECT_EQ(LzmaDecode(out.data(), &outSize, &packed[19], &inSize, &packed[14], 5, LZMA_FINISH_END, &status, &gAlloc),
            SZ_OK);
  EXPECT_EQ(status, LZMA_STATUS_FINISHED_WITH_MARK);
  EXPECT_EQ(inSize, packed.size() - 19);
  out.resize(outSize);
  return out;
}

Bytes Filtered(Bytes chunk) {
  CallFilter(chunk.data(), chunk.size(), true);
  return chunk;
}

TEST(CallFilter, ValueAfterAnOpcodeIsMadeAbsoluteWithinTheChunk) {
  EXPECT_EQ(Filtered({0x90, 0xE8, 0x10, 0, 0, 0, 0x90}), (Bytes{0x90, 0xE8, 0x16, 0, 0, 0, 0x90}));
  EXPECT_EQ(Filtered({0xE9, 0xFE, 0xFF, 0xFF, 0xFF, 0}), (Bytes{0xE9, 0x03, 0, 0, 0, 0}));  // wraps at 2^32
}

TEST(CallFilter, SecondOpcodeInsideAValueIsNotAnOpcode) {
  // The E8 at 1 is part of the first call's value; the one at 5 starts a call.
  EXPECT_EQ(Filtered({0xE8, 0xE8, 0, 0, 0, 0xE8, 0, 0, 0, 0, 0}),
            (Bytes{0xE8, 0xED, 0, 0, 0, 0xE8, 0x0A, 0, 0, 0, 0}));
}

TEST(CallFilter, OpcodesAmongTheLastFourBytesStayAsTheyAre) {
  for (size_t at = 1; at <= 4; ++at) {
    Bytes chunk(8, 0);
    chunk[chunk.size() - at] = 0xE8;
    EXPECT_EQ(Filtered(chunk), chunk) << at;
  }
  EXPECT_EQ(Filtered({0xE8, 1, 2, 3}), (Bytes{0xE8, 1, 2, 3}));
  Bytes five{0xE8, 0, 0, 0, 0};
  EXPECT_EQ(Filtered(five), (Bytes{0xE8, 5, 0, 0, 0}));
}

TEST(CallFilter, UndoGivesTheBytesBack) {
  const Bytes image = CodeLikeImage(5000);
  Bytes round = Filtered(image);
  EXPECT_NE(round, image);
  CallFilter(round.data(), round.size(), false);
  EXPECT_EQ(round, image);
}

TEST(CorePacking, HeaderCarriesSignatureSizesAndLevelFourProperties) {
  const Bytes image = CodeLikeImage(100000);
  const Bytes packed = PackCore(image);
  ASSERT_GT(packed.size(), 19u);
  EXPECT_EQ(packed[0], 'K');
  EXPECT_EQ(packed[1], 'V');
  EXPECT_EQ(GetU32(&packed[2]), 100000u);
  EXPECT_EQ(GetU32(&packed[6]), 0u);
  EXPECT_EQ(GetU32(&packed[10]), 0u);
  EXPECT_EQ(packed[14], 0x5D);
  EXPECT_EQ(GetU32(&packed[15]), 0x02000000u);
  EXPECT_LT(packed.size(), image.size());
}

TEST(CorePacking, UnpackingGivesTheImageBackAcrossChunkBoundaries) {
  for (size_t size : {size_t{0}, size_t{4}, size_t{5}, size_t{61440}, size_t{61441}, size_t{61442},
                      size_t{2 * 61441 + 7}}) {
    const Bytes image = CodeLikeImage(size);
    Bytes unpacked;
    ASSERT_TRUE(test::UnpackToMemory(PackCore(image), unpacked)) << size;
    EXPECT_EQ(unpacked, image) << size;
  }
}

TEST(CorePacking, ChunksAreFilteredOneByOne) {
  // 61441 bytes are one chunk: the call at 61436 has its whole value inside it.
  Bytes one(61441, 0);
  one[61436] = 0xE8;
  Bytes expected = one;
  PutU32(&expected[61437], 61441);
  EXPECT_EQ(RawLzmaData(PackCore(one)), expected);
  // 61442 bytes are chunks of 61441 and 1: the call at 61437 would reach into the second chunk
  // and the one at 61441 is alone in its chunk, so neither changes.
  Bytes two(61442, 0);
  two[61437] = 0xE8;
  two[61441] = 0xE8;
  EXPECT_EQ(RawLzmaData(PackCore(two)), two);
  // Each chunk counts positions from its own start.
  Bytes three(61441 + 10, 0);
  three[61441] = 0xE8;
  expected = three;
  expected[61442] = 5;
  EXPECT_EQ(RawLzmaData(PackCore(three)), expected);
}

TEST(CorePacking, StreamEndsWithTheEndMarker) {
  const Bytes image = CodeLikeImage(70000);
  Bytes data = RawLzmaData(PackCore(image));
  for (size_t at = 0; at < data.size(); at += kCallFilterChunk)
    CallFilter(data.data() + at, std::min(kCallFilterChunk, data.size() - at), false);
  EXPECT_EQ(data, image);
}

TEST(CorePacking, DamagedResourcesAreRefused) {
  const Bytes good = PackCore(CodeLikeImage(70000));
  const struct {
    const char* what;
    Bytes packed;
  } cases[] = {
      {"properties byte 0xE1", [&] { Bytes p = good; p[14] = 0xE1; return p; }()},
      {"dictionary above 32 MiB", [&] { Bytes p = good; PutU32(&p[15], 0x02000001); return p; }()},
      {"truncated stream", Bytes(good.begin(), good.begin() + good.size() / 2)},
      {"no properties", Bytes(good.begin(), good.begin() + 17)},
      {"header cut short", Bytes(good.begin(), good.begin() + 13)},
      {"raw tail larger than the resource",
       [&] { Bytes p = good; PutU32(&p[6], static_cast<uint32_t>(p.size() + 1)); return p; }()},
      {"damaged stream", [&] { Bytes p = good; for (size_t i = 19; i < p.size(); i += 97) p[i] ^= 0x5A; return p; }()},
  };
  for (const auto& c : cases) {
    Bytes unpacked;
    EXPECT_FALSE(test::UnpackToMemory(c.packed, unpacked)) << c.what;
  }
}

TEST(CorePacking, RawTailIsCopiedAfterTheUnpackedData) {
  const Bytes image = CodeLikeImage(1000);
  Bytes packed = PackCore(image);
  const Bytes tail{'t', 'a', 'i', 'l'};
  packed.insert(packed.end(), tail.begin(), tail.end());
  PutU32(&packed[6], 4);
  Bytes unpacked;
  ASSERT_TRUE(test::UnpackToMemory(packed, unpacked));
  Bytes expected = image;
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(unpacked, expected);
}

TEST(CorePacking, ZeroUnpackedSizeGivesNothingAndReadsNoProperties) {
  const Bytes header{'K', 'V', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Bytes unpacked{1};
  EXPECT_TRUE(test::UnpackToMemory(header, unpacked));
  EXPECT_TRUE(unpacked.empty());
}

TEST(CorePacking, FewHundredKilobytesPackWellUnderASecond) {
  const Bytes image = CodeLikeImage(400000);
  // Processor time, so that other work on the machine does not count.
  const std::clock_t start = std::clock();
  PackCore(image);
  EXPECT_LT(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC, 1.0);
}

TEST(LzmaCompressor, LevelsOutsideOneToFourAreRefused) {
  for (int level : {0, 5, -1}) {
    try {
      TLZMACompressor compressor(level, [](const uint8_t*, size_t) {});
      ADD_FAILURE() << level;
    } catch (const ECompressInternalError& e) {
      EXPECT_EQ(std::string(e.what()), "lzma: TLZMACompressor.Create got invalid CompressionLevel " + std::to_string(level));
    }
  }
}

TEST(LzmaCompressor, EveryLevelWritesItsDictionaryAndBlocksOfAtMost64KiB) {
  const Bytes image = test::PatternBytes(300000);  // incompressible: several output blocks
  const uint32_t dictionaries[] = {32768, 2097152, 8388608, 33554432};
  for (int level = 1; level <= 4; ++level) {
    Bytes out;
    size_t largest = 0;
    TLZMACompressor compressor(level, [&](const uint8_t* data, size_t size) {
      largest = std::max(largest, size);
      out.insert(out.end(), data, data + size);
    });
    compressor.Compress(image.data(), 100000);
    compressor.Compress(image.data() + 100000, image.size() - 100000);
    compressor.Finish();
    EXPECT_EQ(largest, 65536u) << level;
    ASSERT_GT(out.size(), 5u);
    EXPECT_EQ(out[0], 0x5D) << level;
    EXPECT_EQ(GetU32(&out[1]), dictionaries[level - 1]) << level;
    // In a packed-core header the stub's decoder reads the stream back; it also undoes a call
    // filter that was never applied here, so filtering its output gives the input again.
    Bytes packed{'K', 'V', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutU32(&packed[2], static_cast<uint32_t>(image.size()));
    packed.reserve(packed.size() + out.size());
    packed.insert(packed.end(), out.begin(), out.end());
    Bytes unpacked;
    ASSERT_TRUE(test::UnpackToMemory(packed, unpacked)) << level;
    for (size_t at = 0; at < unpacked.size(); at += kCallFilterChunk)
      CallFilter(unpacked.data() + at, std::min(kCallFilterChunk, unpacked.size() - at), true);
    EXPECT_EQ(unpacked, image) << level;
  }
}

TEST(LzmaCompressor, WriteErrorsComeOutAsRaised) {
  TLZMACompressor compressor(4, [](const uint8_t*, size_t) { throw std::runtime_error("disk on fire"); });
  const Bytes image = test::PatternBytes(1000);
  compressor.Compress(image.data(), image.size());
  try {
    compressor.Finish();
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "disk on fire");
  }
}

}  // namespace
}  // namespace kvx

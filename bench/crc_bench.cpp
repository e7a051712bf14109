// CRC-32 throughput of every implementation against zlib's crc32 over the same buffer.
// Usage: crc_bench [MiB [passes]]. Passes go round the implementations in turn, so that load
// from other processes falls on all of them alike; the best pass of each counts.
// Exit status 1 when a result differs from zlib's or UpdateCrcLong is not twice as fast.
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/crc32.h"

namespace {

using CrcFunction = uint32_t (*)(const uint8_t*, size_t, uint32_t);

struct Candidate {
  const char* name;
  CrcFunction update;
  double best_seconds = 1e30;
};

// The standard CRC-32 through zlib, as the same bare register as ours.
uint32_t ByZlib(const uint8_t* data, size_t length, uint32_t crc) {
  return ~static_cast<uint32_t>(crc32_z(~crc, data, length));
}

uint32_t ByUpdateCrcLong(const uint8_t* data, size_t length, uint32_t crc) {
  return kvx::UpdateCrcLong(data, length, crc);
}

std::vector<uint8_t> RandomBytes(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint64_t state = 0x9E3779B97F4A7C15u;
  for (auto& b : bytes) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    b = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

std::vector<Candidate> Candidates() {
  std::vector<Candidate> list = {{"table", kvx::crc32_impl::ByTable},
                                 {"slicing-by-8", kvx::crc32_impl::BySlicing}};
#if KVX_CRC32_CLMUL
  if (kvx::crc32_impl::ClmulAvailable()) list.push_back({"clmul", kvx::crc32_impl::ByClmul});
  if (kvx::crc32_impl::ClmulAvx512Available()) list.push_back({"clmul-avx512", kvx::crc32_impl::ByClmulAvx512});
#endif
  list.push_back({"UpdateCrcLong", ByUpdateCrcLong});
  list.push_back({"zlib crc32", ByZlib});
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  const int passes = argc > 2 ? std::atoi(argv[2]) : 3;
  const auto buffer = RandomBytes(mib << 20);
  const uint32_t reference = ByZlib(buffer.data(), buffer.size(), kvx::CrcInit);

  auto candidates = Candidates();
  bool same = true;
  for (int pass = 0; pass < passes; ++pass) {
    for (auto& c : candidates) {
      const auto start = std::chrono::steady_clock::now();
      const uint32_t crc = c.update(buffer.data(), buffer.size(), kvx::CrcInit);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      if (took.count() < c.best_seconds) c.best_seconds = took.count();
      if (crc != reference) {
        std::printf("%s gives %08X, zlib %08X\n", c.name, crc, reference);
        same = false;
      }
    }
  }

  std::printf("CRC-32 over a %zu MiB buffer in memory, best of %d passes:\n", mib, passes);
  for (const auto& c : candidates)
    std::printf("  %-14s %6.2f GB/s\n", c.name, buffer.size() / c.best_seconds / 1e9);
  const auto seconds_of = [&](CrcFunction f) {
    for (const auto& c : candidates)
      if (c.update == f) return c.best_seconds;
    return 0.0;
  };
  const double ratio = seconds_of(ByZlib) / seconds_of(ByUpdateCrcLong);
  const bool fast = ratio >= 2.0;
  std::printf("UpdateCrcLong / zlib crc32: %.2fx (required: at least 2x) %s\n", ratio, fast ? "ok" : "FAILED");
  return same && fast ? 0 : 1;
}

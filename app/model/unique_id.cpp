#include "app/model/unique_id.h"

#include <random>

#include "common/text.h"

namespace kvx {

std::string NewUniqueId() {
  static thread_local std::mt19937_64 generator{std::random_device{}() ^
                                                 (static_cast<uint64_t>(std::random_device{}()) << 32)};
  const uint64_t hi = generator();
  const uint64_t lo = generator();
  // Version 4, variant 1, as a created GUID has them.
  const uint64_t a = (hi & 0xFFFFFFFFFFFF0FFFull) | 0x4000;
  const uint64_t b = (lo & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;
  return Format("{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                static_cast<unsigned>(b >> 48), static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
}

}  // namespace kvx

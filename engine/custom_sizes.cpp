#include "engine/custom_sizes.h"

#include "common/text.h"

namespace kvx {

int64_t ListedPieceSize(const std::vector<std::string>& sizes, int n, int64_t remaining, int64_t sizeIn) {
  if (n >= static_cast<int64_t>(sizes.size())) return remaining + 10000;
  const auto listed = ParseInt64(sizes[static_cast<size_t>(n) - 1]);
  const int64_t size = listed ? *listed : sizeIn;
  return size > remaining ? remaining : size;
}

}  // namespace kvx

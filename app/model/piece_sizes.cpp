#include "app/model/piece_sizes.h"

#include <clocale>
#include <cmath>
#include <cstdlib>

#include "common/trailers.h"

namespace kvx {

uint64_t UnitFactor(TSizeUnit unit) {
  static const uint64_t kFactors[] = {1, 1024, 1048576, 1073741824};
  return unit >= suBytes && unit <= suGB ? kFactors[unit] : 1;
}

uint64_t FixedPieceSize(const std::string& sizeText, TSizeUnit unit) {
  if (sizeText.empty()) return 0;
  char* end = nullptr;
  const double value = std::strtod(sizeText.c_str(), &end);
  if (end == sizeText.c_str() || *end != '\0' || !(value > 0)) return 0;
  const double bytes = std::trunc(value * static_cast<double>(UnitFactor(unit)));
  return bytes >= 18446744073709551615.0 ? UINT64_MAX : static_cast<uint64_t>(bytes);
}

SizeProposal ProposePieceSize(int64_t sourceSize) {
  SizeProposal proposal;
  int64_t v = sourceSize / 5;
  if (v > 1000) {
    v /= 1000;
    proposal.unit = suKB;
  }
  if (v > 1000) {
    v /= 1000;
    proposal.unit = suMB;
  }
  proposal.sizeText = std::to_string(v);
  return proposal;
}

uint64_t AveragePieceSize(int64_t sourceSize, int64_t count, bool headers, bool sfu) {
  if (count <= 0) return 0;
  int64_t total = sourceSize;
  if (headers) total += count * static_cast<int64_t>(TFirstPieceTrailer::kSize);
  if (sfu) total += kSfuAllowance;
  return static_cast<uint64_t>(total / count + (total % count != 0 ? 1 : 0));
}

}  // namespace kvx

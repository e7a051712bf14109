#pragma once
// The piece-size arithmetic of a split job: fixed sizes with a unit, the proposal for a new
// source file, and the average size for a number of pieces.
#include <cstdint>
#include <string>

namespace kvx {

enum TSizeUnit { suBytes, suKB, suMB, suGB };

// Bytes per unit: 1, 1024, 1048576, 1073741824.
uint64_t UnitFactor(TSizeUnit unit);
// The size text (decimal fractions allowed) times the unit, truncated toward zero; 0 when the
// text is not a number or not positive.
uint64_t FixedPieceSize(const std::string& sizeText, TSizeUnit unit);

// About a fifth of the source, in the largest unit that keeps the number above 1000. The steps
// divide by 1000 while the units mean 1024, so the proposal yields five pieces or fewer.
struct SizeProposal {
  std::string sizeText;
  TSizeUnit unit = suBytes;
};
SizeProposal ProposePieceSize(int64_t sourceSize);

// Allowance for the SFU program when averaging piece sizes.
constexpr int64_t kSfuAllowance = 80000;
// ceil((S + N x 1259 with headers + 80000 with SFU) / N); 0 when count is not above 0.
uint64_t AveragePieceSize(int64_t sourceSize, int64_t count, bool headers, bool sfu);

}  // namespace kvx

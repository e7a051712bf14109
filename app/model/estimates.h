#pragma once
// The texts beside the piece size: how many pieces or what average size the job gives, and
// the size in the other units.
#include <cstdint>
#include <string>

namespace kvx {

extern const char* const kNoSourceEstimate;

// "About %u piece file(s) will be created." with ceil(sourceSize / pieceSize); pieceSize > 0.
std::string PieceCountEstimate(int64_t sourceSize, uint64_t pieceSize);
// "Average size of piece files: %u byte(s)"
std::string AverageSizeEstimate(uint64_t average);
// "Rounded Sizes:<hr><br>" and value in every unit but the selected one (unit: TSizeUnit, or
// -1 for none, which lists all four).
std::string RoundedSizesText(uint64_t value, int unit);

}  // namespace kvx

#pragma once
// The checks a split goes through before it starts, in the order the launch runs them. Each
// raises EKarvexError with the text the user reads.
#include <cstdint>
#include <string>
#include <vector>

namespace kvx {

void CheckSourceExists(const std::string& source);
// The destination folder with its folder variables expanded; an empty result is refused.
std::string ResolveDestination(const std::string& destdir, const std::string& source);
// Fixed-size pieces: a size of 0 is refused.
void CheckFixedPieceSize(uint64_t pieceSize);
// The question asked when a single piece would be larger than the original; a "No" is refused
// with the returned check below.
extern const char* const kLargerThanOriginalQuestion;
[[noreturn]] void RefuseLargerThanOriginal();
// Fixed-size pieces with headers must have room for the first piece's record.
void CheckHeaderRoom(uint64_t pieceSize, bool headers);
// A number of pieces whose average size could not be computed is refused.
void CheckComputedPieceSize(uint64_t pieceSize);
void CheckNameMask(const std::string& mask);
// Listed piece sizes: a size that reads as a negative number is refused; one that is not a
// number reads as 0 and is accepted.
void CheckCustomSizes(const std::vector<std::string>& sizes);

}  // namespace kvx

#pragma once
// The blocked pieces a split would write, worked out without writing: for a dry run.
#include <cstdint>
#include <string>
#include <vector>

namespace kvx {

class TKarvexThread;

struct TPlannedPiece {
  int Number = 0;
  std::string Name;  // file name from the mask
  int64_t Size = 0;  // bytes of the original the piece holds
};

struct TPiecePlan {
  std::vector<TPlannedPiece> Pieces;  // piece 1 first
  // The piece whose size came out below one byte (the split would stop there), or 0.
  int TooSmallPiece = 0;
};

// The pieces of a blocked split as the engine cuts them from the thread's settings: the piece
// or listed size, less the reserve and the record of each piece. The SFU program is not built,
// so its size does not count on piece 1. Spanned pieces depend on the disks: none are planned.
TPiecePlan PlanPieces(const TKarvexThread& thread, int64_t sourceSize);

}  // namespace kvx

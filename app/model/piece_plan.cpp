#include "app/model/piece_plan.h"

#include <algorithm>

#include "common/trailers.h"
#include "engine/custom_sizes.h"
#include "engine/karvex_thread.h"

namespace kvx {

TPiecePlan PlanPieces(const TKarvexThread& thread, int64_t sourceSize) {
  TPiecePlan plan;
  const TMoteurKarvex& engine = thread.Engine;
  if (!engine.Blocked) return plan;
  int64_t remaining = sourceSize;
  for (int n = 1;; ++n) {
    int64_t size = engine.PieceSize;
    if (thread.CustomSizes) size = ListedPieceSize(thread.CustomSizeList, n, remaining, size);
    size -= n == 1 ? engine.FirstDiskReserve : engine.OtherDiskReserve;
    if (!engine.NoHeader) size -= n == 1 ? TFirstPieceTrailer::kSize : TPieceTrailer::kSize;
    if (size < 1) {
      plan.TooSmallPiece = n;
      return plan;
    }
    const int64_t held = std::min(size, remaining);
    plan.Pieces.push_back({n, engine.PieceFileName(n), held});
    remaining -= held;
    if (remaining <= 0) return plan;
  }
}

}  // namespace kvx

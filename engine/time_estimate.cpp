#include "engine/time_estimate.h"

#include <cmath>

#include "common/text.h"

namespace kvx {

double EstimateSecondsLeft(int64_t current, int64_t total, double elapsedSeconds) {
  if (current == 0) return 0;
  return static_cast<double>(total) / static_cast<double>(current) * elapsedSeconds - elapsedSeconds;
}

std::string FormatSpan(double seconds) {
  if (!(seconds > 0)) seconds = 0;
  const auto whole = static_cast<int64_t>(std::floor(seconds)) % 86400;
  return Format("%02d:%02d:%02d", static_cast<int>(whole / 3600), static_cast<int>(whole / 60 % 60),
                static_cast<int>(whole % 60));
}

}  // namespace kvx

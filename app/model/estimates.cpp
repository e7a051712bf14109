#include "app/model/estimates.h"

#include "app/model/piece_sizes.h"
#include "common/text.h"

namespace kvx {

const char* const kNoSourceEstimate =
    "No source file specified: please first select the original file to be split.";

std::string PieceCountEstimate(int64_t sourceSize, uint64_t pieceSize) {
  const auto size = static_cast<uint64_t>(sourceSize);
  const uint64_t count = size / pieceSize + (size % pieceSize != 0 ? 1 : 0);
  return Format("About %llu piece file(s) will be created.", static_cast<unsigned long long>(count));
}

std::string AverageSizeEstimate(uint64_t average) {
  return Format("Average size of piece files: %llu byte(s)", static_cast<unsigned long long>(average));
}

std::string RoundedSizesText(uint64_t value, int unit) {
  const double v = static_cast<double>(value);
  std::string text = "Rounded Sizes:<hr><br>";
  if (unit != suBytes) text += Format("%llu byte(s).<br>", static_cast<unsigned long long>(value));
  if (unit != suKB) text += Format("%3.2f", v / 1024) + " kb.<br>";
  if (unit != suMB) text += Format("%3.2f", v / 1048576) + " Mb.<br>";
  if (unit != suGB) text += Format("%3.2f", v / 1073741824) + " Gb.<br>";
  return text;
}

}  // namespace kvx

#include "app/model/launch_checks.h"

#include "common/errors.h"
#include "common/os/os.h"
#include "common/piece_names.h"
#include "common/text.h"
#include "common/trailers.h"

namespace kvx {

const char* const kLargerThanOriginalQuestion =
    "Warning: according to your settings, a single blocked piece file will be larger than the "
    "original file: this may lead to system errors.\r\nAre you sure you want to continue?";

void CheckSourceExists(const std::string& source) {
  if (!os::FileExists(source))
    throw EKarvexError(Format("The original file \"%s\" was not found.", source.c_str()));
}

std::string ResolveDestination(const std::string& destdir, const std::string& source) {
  const std::string resolved = ExpandFolderVariables(destdir, source);
  if (resolved.empty()) throw EKarvexError("You must specify a destination path for your piece files.");
  return resolved;
}

void CheckFixedPieceSize(uint64_t pieceSize) {
  if (pieceSize == 0) throw EKarvexError("Please enter a default size for your blocked pieces.");
}

void RefuseLargerThanOriginal() {
  throw EKarvexError(
      "Please decrease the size of blocked pieces so it is lower than the size of the original file.");
}

void CheckHeaderRoom(uint64_t pieceSize, bool headers) {
  if (headers && pieceSize < TFirstPieceTrailer::kSize)
    throw EKarvexError(
        "The size of blocked piece is too small: please enable the option \"Do not add headers\" in "
        "\"Other Properties\" in order to continue.");
}

void CheckComputedPieceSize(uint64_t pieceSize) {
  if (pieceSize == 0)
    throw EKarvexError("Please verify the number of pieces that Karvex should create: there is a problem.");
}

void CheckNameMask(const std::string& mask) {
  if (mask.empty()) throw EKarvexError("A mask for the piece filenames must be specified.");
  if (mask.find("{num}") == std::string::npos && mask.find("{oru}") == std::string::npos)
    throw EKarvexError(Format(
        "The piece mask \"%s\" must include one of the {num} or {oru} variables that refer to the "
        "current piece index. Otherwise Karvex cannot distinguish two piece files.",
        mask.c_str()));
}

void CheckCustomSizes(const std::vector<std::string>& sizes) {
  for (size_t i = 0; i < sizes.size(); ++i) {
    const auto value = ParseInt64(sizes[i]);
    if (value && *value < 0)
      throw EKarvexError(Format("Invalid custom size for piece number %u: %s. Please modify your settings.",
                                static_cast<unsigned>(i + 1), sizes[i].c_str()));
  }
}

}  // namespace kvx

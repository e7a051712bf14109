#pragma once
// The options of `karvex split`, as typed.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/model/piece_sizes.h"

namespace kvx::cli {

enum class SizeMethod { Proposed, Fixed, Count, Listed, Spanned };

struct SplitOptions {
  std::string source;
  std::string destination;  // empty: the current folder
  SizeMethod method = SizeMethod::Proposed;
  std::string sizeText;  // Fixed: the number; Count: the number of pieces
  TSizeUnit unit = suBytes;
  std::vector<std::string> listedSizes;
  std::string mask = "disk{num}.kxd";
  bool noHeader = false;
  std::string title, author, description, uniqueId;
  int64_t firstReserve = 0;
  int64_t otherReserve = 0;
  bool noSfu = false;
  bool sfuMerge = false;
  bool sfuIgnoreSize = false;
  std::optional<std::string> sfuName;
  // --set CONTROL=VALUE for the controls of the SFU pages, in the order given.
  std::vector<std::pair<std::string, std::string>> sfuControls;
  bool quiet = false;
};

// Parses the arguments after "split". Raises UsageError.
SplitOptions ParseSplitOptions(int argc, char** argv);

}  // namespace kvx::cli

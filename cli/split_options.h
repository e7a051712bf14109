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

// What is not given leaves the job as it is: a new job's defaults, or what --profile set.
struct SplitOptions {
  std::optional<std::string> source;  // may be left out with --profile
  std::optional<std::string> profile;
  std::optional<std::string> saveProfile;
  std::optional<std::string> destination;  // a new job's: the current folder
  SizeMethod method = SizeMethod::Proposed;
  std::string sizeText;  // Fixed: the number; Count: the number of pieces
  TSizeUnit unit = suBytes;
  std::vector<std::string> listedSizes;
  std::optional<std::string> mask;
  bool noHeader = false;
  std::optional<std::string> title, author, description, uniqueId;
  std::optional<int64_t> firstReserve;
  std::optional<int64_t> otherReserve;
  bool noSfu = false;
  bool sfuMerge = false;
  bool sfuIgnoreSize = false;
  std::optional<std::string> sfuName;
  // --set CONTROL=VALUE for any control of the job, in the order given, after the other options.
  std::vector<std::pair<std::string, std::string>> controls;
  bool quiet = false;
  bool dryRun = false;
  bool assumeAnswers = false;  // -y
};

// Parses the arguments after "split". Raises UsageError.
SplitOptions ParseSplitOptions(int argc, char** argv);

}  // namespace kvx::cli

#include "cli/split_options.h"

#include <getopt.h>

#include "app/model/job_control_table.h"
#include "cli/usage_error.h"
#include "common/text.h"

namespace kvx::cli {

namespace {

enum LongOnly {
  kSizes = 1000, kSpanned, kNoHeader, kTitle, kAuthor, kDescription, kId, kFirstReserve, kReserve, kNoSfu,
  kSfuMerge, kSfuName, kSfuIgnoreSize, kSet, kProfile, kSaveProfile, kDryRun,
};

// "1.5MB" -> "1.5" and MB; a bare number is in bytes.
void ParseSizeWithUnit(const std::string& text, SplitOptions& options) {
  static const struct { const char* suffix; TSizeUnit unit; } kSuffixes[] = {
      {"GB", suGB}, {"MB", suMB}, {"KB", suKB}, {"B", suBytes}};
  std::string number = text;
  options.unit = suBytes;
  const std::string upper = UpperCaseAscii(text);
  for (const auto& s : kSuffixes) {
    const std::string suffix = s.suffix;
    if (upper.size() > suffix.size() && upper.compare(upper.size() - suffix.size(), suffix.size(), suffix) == 0) {
      number = text.substr(0, text.size() - suffix.size());
      options.unit = s.unit;
      break;
    }
  }
  if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
      number.find('.') != number.rfind('.'))
    throw UsageError("invalid piece size: " + text);
  options.sizeText = number;
}

int64_t ParseBytes(const std::string& text, const char* what) {
  const auto value = ParseInt64(text);
  if (!value || *value < 0) throw UsageError(std::string("invalid ") + what + ": " + text);
  return *value;
}

std::vector<std::string> SplitList(const std::string& text) {
  const std::vector<std::string> items = SplitText(text, ',');
  for (const std::string& item : items)
    if (!ParseInt64(item)) throw UsageError("invalid size in list: '" + item + "'");
  return items;
}

// "csilent=TRUE": a control of the job and its value (checked when it is put in).
std::pair<std::string, std::string> ParseControlSetting(const std::string& text) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) throw UsageError("--set needs CONTROL=VALUE: " + text);
  const std::string name = text.substr(0, equals);
  if (!FindJobControl(name)) throw UsageError("unknown control: " + name);
  return {name, text.substr(equals + 1)};
}

void SetMethod(SplitOptions& options, SizeMethod method) {
  if (options.method != SizeMethod::Proposed)
    throw UsageError("choose one of -s, -n, --sizes and --spanned");
  options.method = method;
}

}  // namespace

SplitOptions ParseSplitOptions(int argc, char** argv) {
  static const option kOptions[] = {
      {"dest", required_argument, nullptr, 'd'},      {"size", required_argument, nullptr, 's'},
      {"count", required_argument, nullptr, 'n'},     {"mask", required_argument, nullptr, 'm'},
      {"quiet", no_argument, nullptr, 'q'},           {"sizes", required_argument, nullptr, kSizes},
      {"spanned", no_argument, nullptr, kSpanned},    {"no-header", no_argument, nullptr, kNoHeader},
      {"title", required_argument, nullptr, kTitle},  {"author", required_argument, nullptr, kAuthor},
      {"description", required_argument, nullptr, kDescription},
      {"id", required_argument, nullptr, kId},
      {"first-reserve", required_argument, nullptr, kFirstReserve},
      {"reserve", required_argument, nullptr, kReserve},
      {"no-sfu", no_argument, nullptr, kNoSfu},       {"sfu-merge", no_argument, nullptr, kSfuMerge},
      {"sfu-name", required_argument, nullptr, kSfuName},
      {"sfu-ignore-size", no_argument, nullptr, kSfuIgnoreSize},
      {"set", required_argument, nullptr, kSet},      {"profile", required_argument, nullptr, kProfile},
      {"save-profile", required_argument, nullptr, kSaveProfile},
      {"dry-run", no_argument, nullptr, kDryRun},     {"yes", no_argument, nullptr, 'y'},
      {nullptr, 0, nullptr, 0}};
  SplitOptions options;
  optind = 1;
  opterr = 0;
  for (;;) {
    const int c = getopt_long(argc, argv, ":d:s:n:m:qy", kOptions, nullptr);
    if (c == -1) break;
    const std::string arg = optarg ? optarg : "";
    switch (c) {
      case 'd': options.destination = arg; break;
      case 's': SetMethod(options, SizeMethod::Fixed); ParseSizeWithUnit(arg, options); break;
      case 'n':
        SetMethod(options, SizeMethod::Count);
        ParseBytes(arg, "number of pieces");
        options.sizeText = arg;
        break;
      case 'm': options.mask = arg; break;
      case 'q': options.quiet = true; break;
      case 'y': options.assumeAnswers = true; break;
      case kSizes: SetMethod(options, SizeMethod::Listed); options.listedSizes = SplitList(arg); break;
      case kSpanned: SetMethod(options, SizeMethod::Spanned); break;
      case kNoHeader: options.noHeader = true; break;
      case kTitle: options.title = arg; break;
      case kAuthor: options.author = arg; break;
      case kDescription: options.description = arg; break;
      case kId: options.uniqueId = arg; break;
      case kFirstReserve: options.firstReserve = ParseBytes(arg, "reserve"); break;
      case kReserve: options.otherReserve = ParseBytes(arg, "reserve"); break;
      case kNoSfu: options.noSfu = true; break;
      case kSfuMerge: options.sfuMerge = true; break;
      case kSfuName: options.sfuName = arg; break;
      case kSfuIgnoreSize: options.sfuIgnoreSize = true; break;
      case kSet: options.controls.push_back(ParseControlSetting(arg)); break;
      case kProfile: options.profile = arg; break;
      case kSaveProfile: options.saveProfile = arg; break;
      case kDryRun: options.dryRun = true; break;
      case ':': throw UsageError(std::string("option needs a value: ") + argv[optind - 1]);
      default: throw UsageError(std::string("unknown option: ") + argv[optind - 1]);
    }
  }
  if (argc - optind > 1) throw UsageError("too many arguments");
  if (optind < argc) options.source = argv[optind];
  else if (!options.profile) throw UsageError("missing SOURCE");
  return options;
}

}  // namespace kvx::cli

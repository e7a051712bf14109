#include "cli/batch_command.h"

#include <getopt.h>

#include <iostream>
#include <string>

#include "cli/console_session.h"
#include "cli/usage_error.h"

namespace kvx::cli {

int RunBatch(int argc, char** argv) {
  static const option kOptions[] = {{"dry-run", no_argument, nullptr, 'D'},
                                    {"yes", no_argument, nullptr, 'y'},
                                    {"quiet", no_argument, nullptr, 'q'},
                                    {nullptr, 0, nullptr, 0}};
  bool dryRun = false, yes = false, quiet = false;
  optind = 1;
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, "yq", kOptions, nullptr)) != -1;) {
    if (c == 'D') dryRun = true;
    else if (c == 'y') yes = true;
    else if (c == 'q') quiet = true;
    else throw UsageError(std::string("unknown option: ") + argv[optind - 1]);
  }
  if (optind != argc - 1) throw UsageError(optind >= argc ? "missing FILE" : "too many arguments");
  TConsoleSession session(quiet, yes);
  try {
    session.Model().ApplyBatchFile(argv[optind], false);
  } catch (const std::exception& e) {
    std::cerr << "karvex: " << e.what() << "\n";
    return 1;
  }
  return dryRun ? session.DryRun() : session.Split();
}

}  // namespace kvx::cli

// karvex: the console front end of the portable core.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "cli/batch_command.h"
#include "cli/inspect_command.h"
#include "cli/split_command.h"
#include "cli/unite_command.h"
#include "cli/usage.h"
#include "cli/usage_error.h"

int main(int argc, char** argv) {
  using namespace kvx::cli;
  // A file-size limit then fails the write with an error the user reads, like a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  try {
    if (command == "split") return RunSplit(argc - 1, argv + 1);
    if (command == "batch") return RunBatch(argc - 1, argv + 1);
    if (command == "unite") return RunUnite(argc - 1, argv + 1);
    if (command == "verify") return RunVerify(argc - 1, argv + 1);
    if (command == "inspect") return RunInspect(argc - 1, argv + 1);
    throw UsageError("unknown command: " + command);
  } catch (const UsageError& e) {
    std::cerr << "karvex: " << e.what() << "\nTry 'karvex --help'.\n";
    return 2;
  }
}

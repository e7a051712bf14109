#include "cli/console.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "common/text.h"

namespace kvx::cli {

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

std::optional<std::string> AskLine(const std::string& prompt) {
  if (!StdinIsTerminal()) return std::nullopt;
  std::cerr << prompt << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

bool AskYesNo(const std::string& question, bool whenUnattended) {
  std::string text = question;
  ReplaceAllExact(text, "\r\n", "\n");
  for (;;) {
    const auto answer = AskLine(text + " [y/n] ");
    if (!answer) {
      if (!StdinIsTerminal()) std::cerr << text << (whenUnattended ? " yes\n" : " no\n");
      return whenUnattended;
    }
    if (*answer == "y" || *answer == "Y" || *answer == "yes") return true;
    if (*answer == "n" || *answer == "N" || *answer == "no") return false;
  }
}

}  // namespace kvx::cli

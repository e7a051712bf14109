#include "cli/console_dialogs.h"

#include <iostream>

#include "cli/console.h"

namespace kvx::cli {

bool TConsoleDialogs::AskYesNo(const TQuestion& question) {
  return cli::AskYesNo(question.Text, question.WhenUnattended);
}

void TConsoleDialogs::ShowError(const std::string& caption, const std::string& text) {
  std::cerr << "karvex: " << caption << ": " << text << "\n";
}

std::optional<std::string> TConsoleDialogs::AskText(const TTextRequest& request) {
  const std::optional<std::string> line = AskLine(request.Prompt + " [" + request.Proposal + "] ");
  if (line && line->empty()) return request.Proposal;
  return line;
}

}  // namespace kvx::cli

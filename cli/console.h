#pragma once
// Questions asked on the terminal. Without a terminal on standard input nobody can answer:
// the caller says which answer applies then.
#include <optional>
#include <string>

namespace kvx::cli {

bool StdinIsTerminal();
// Yes/no question; the fallback when no one can answer.
bool AskYesNo(const std::string& question, bool whenUnattended);
// A line typed by the user; nothing at end of input or without a terminal.
std::optional<std::string> AskLine(const std::string& prompt);

}  // namespace kvx::cli

#include "cli/console_unite_view.h"

#include <cstdio>

#include "cli/console.h"
#include "common/text.h"

namespace kvx::cli {

namespace {

std::string Plain(std::string text) {
  ReplaceAllExact(text, "\r\n", "\n");
  return text;
}

// The answer an absent user gives: stop at anything that needs a person, keep what exists.
TBoxResult Unattended(TBoxButtons buttons) {
  switch (buttons) {
    case bbOk: return brOk;
    case bbOkCancel: return brCancel;
    case bbYesNo: return brNo;
    case bbYesNoCancel: return brYes;  // go on and ask no more: the log keeps every error
    case bbAbortRetryIgnore: return brAbort;
  }
  return brCancel;
}

struct Choice {
  const char* key;
  TBoxResult result;
};

TBoxResult Ask(const std::string& question, std::initializer_list<Choice> choices) {
  std::string keys;
  for (const Choice& c : choices) keys += std::string(keys.empty() ? "" : "/") + c.key;
  for (;;) {
    const auto answer = AskLine(question + " [" + keys + "] ");
    if (!answer) return brCancel;
    for (const Choice& c : choices)
      if (SameTextAscii(*answer, c.key) || SameTextAscii(*answer, std::string(c.key, 1)))
        return c.result;
  }
}

}  // namespace

void ConsoleUniteView::Log(const std::string& line) {
  if (printLog_) std::printf("%s\n", Plain(line).c_str());
}

std::string ConsoleUniteView::AskPiece(const std::string& title, const std::string& text, const std::string& path) {
  if (!StdinIsTerminal()) {
    std::fprintf(stderr, "%s\n%s\n", Plain(title).c_str(), Plain(text).c_str());
    return std::string();
  }
  const auto answer = AskLine(Plain(title) + "\n" + Plain(text) + "\nPiece path [" + path +
                              "] (Enter to look again, q to abort): ");
  if (!answer || *answer == "q") return std::string();
  return answer->empty() ? path : *answer;
}

TBoxResult ConsoleUniteView::ShowBox(const std::string& text, const std::string& caption, TBoxIcon icon,
                                     TBoxButtons buttons) {
  const std::string message = Plain(caption) + ": " + Plain(text);
  if (!StdinIsTerminal() || buttons == bbOk) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return Unattended(buttons);
  }
  switch (buttons) {
    case bbOkCancel: return Ask(message, {{"ok", brOk}, {"cancel", brCancel}});
    case bbYesNo: return Ask(message, {{"yes", brYes}, {"no", brNo}});
    case bbYesNoCancel: return Ask(message, {{"yes", brYes}, {"no", brNo}, {"cancel", brCancel}});
    case bbAbortRetryIgnore: return Ask(message, {{"abort", brAbort}, {"retry", brRetry}, {"ignore", brIgnore}});
    case bbOk: break;
  }
  return brOk;
}

void ConsoleUniteView::PieceFinished(const TPieceReport& report) {
  if (printLog_) return;
  if (report.Skipped) {
    std::printf("piece %u: %s: skipped\n", report.Number, report.Path.c_str());
    return;
  }
  if (report.Problems.empty()) {
    std::printf("piece %u: %s: ok\n", report.Number, report.Path.c_str());
    return;
  }
  for (const std::string& problem : report.Problems)
    std::printf("piece %u: %s:%s%s\n", report.Number, report.Path.c_str(), problem.rfind(' ', 0) == 0 ? "" : " ",
                Plain(problem).c_str());
}

}  // namespace kvx::cli

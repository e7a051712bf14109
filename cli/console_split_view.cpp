#include "cli/console_split_view.h"

#include <cstdio>

#include "cli/console.h"
#include "cli/html_text.h"
#include "common/text.h"
#include "engine/karvex_thread.h"
#include "engine/time_estimate.h"

namespace kvx::cli {

ConsoleSplitView::ConsoleSplitView(bool showProgress)
    : showProgress_(showProgress), timerStart_(std::chrono::steady_clock::now()) {}

void ConsoleSplitView::FlushRows(std::deque<std::string>& rowQueue, const std::string&) {
  std::lock_guard<std::mutex> lock(consoleMutex_);
  rows_.Flush(rowQueue);
}

void ConsoleSplitView::ShowGauges(uint16_t piecePercent, uint16_t totalPercent) {
  piecePercent_ = piecePercent;
  totalPercent_ = totalPercent;
}

TPromptAnswer ConsoleSplitView::ShowPrompt(const TPromptDescription& prompt) {
  std::lock_guard<std::mutex> lock(consoleMutex_);
  EraseLocked();
  std::string text = prompt.Caption + "\n";
  for (const std::string& line : prompt.HtmlLines) text += HtmlToPlain(line) + "\n";
  TPromptAnswer answer;
  if (!prompt.OkAllowed) {
    AskLine(text + "Press Enter to abort. ");
    return answer;
  }
  const std::string question = prompt.ShowPath ? "Folder [" + prompt.Path + "] (Enter to go on, q to abort): "
                                               : "Enter to go on, q to abort: ";
  const auto typed = AskLine(text + question);
  if (!typed || *typed == "q") return answer;
  answer.Ok = true;
  answer.Path = typed->empty() ? prompt.Path : *typed;
  return answer;
}

void ConsoleSplitView::DrawProgress(const TKarvexThread& thread) {
  if (!showProgress_) return;
  std::lock_guard<std::mutex> lock(consoleMutex_);
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - timerStart_).count();
  const double left = EstimateSecondsLeft(thread.Engine.DoneBytes, thread.Engine.TotalSize, elapsed);
  std::printf("\r\033[KPiece %3u%%  Total %3u%%  Elapsed %s  Time left %s", static_cast<unsigned>(piecePercent_),
              static_cast<unsigned>(totalPercent_), FormatSpan(elapsed).c_str(), FormatSpan(left).c_str());
  std::fflush(stdout);
  drawn_ = true;
}

void ConsoleSplitView::AskToCancel(TKarvexThread& thread) {
  std::lock_guard<std::mutex> lock(consoleMutex_);
  EraseLocked();
  const bool wasRunning = !thread.Paused();
  if (wasRunning) thread.Pause();
  if (AskYesNo("Are you sure you want to exit the splitting process now?", true)) {
    thread.Engine.Aborted = true;
    std::fprintf(stderr, "Aborting, wait...\n");
  }
  // The timer starts again with the run, as after a pause.
  timerStart_ = std::chrono::steady_clock::now();
  thread.Resume();
}

void ConsoleSplitView::EraseProgress() {
  std::lock_guard<std::mutex> lock(consoleMutex_);
  EraseLocked();
}

void ConsoleSplitView::EraseLocked() {
  if (!drawn_) return;
  std::printf("\r\033[K");
  std::fflush(stdout);
  drawn_ = false;
}

}  // namespace kvx::cli

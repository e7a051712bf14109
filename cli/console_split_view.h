#pragma once
// The split's view on a terminal: a one-line progress bar drawn by the waiting main thread,
// and the disk and error questions asked on the terminal. The worker calls in directly; one
// lock keeps the bar and a question from writing at the same time.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "engine/progress_list.h"
#include "engine/split_view.h"

namespace kvx {
class TKarvexThread;
}

namespace kvx::cli {

class ConsoleSplitView : public ISplitView {
 public:
  // showProgress: draw the bar (stdout is a terminal and the run is not quiet).
  explicit ConsoleSplitView(bool showProgress);

  void FlushRows(std::deque<std::string>& rowQueue, const std::string& statusText) override;
  void ShowGauges(uint16_t piecePercent, uint16_t totalPercent) override;
  TPromptAnswer ShowPrompt(const TPromptDescription& prompt) override;

  // The main thread's part: redraws the bar from the thread's counters.
  void DrawProgress(const TKarvexThread& thread);
  // Ctrl+C: the same question and effect as the progress window's Cancel button.
  void AskToCancel(TKarvexThread& thread);
  void EraseProgress();

 private:
  void EraseLocked();

  const bool showProgress_;
  std::mutex consoleMutex_;
  TProgressList rows_;
  std::atomic<uint16_t> piecePercent_{0};
  std::atomic<uint16_t> totalPercent_{0};
  std::chrono::steady_clock::time_point timerStart_;
  bool drawn_ = false;
};

}  // namespace kvx::cli

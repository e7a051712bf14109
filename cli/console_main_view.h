#pragma once
// The main program's window as the console plays it: questions on the terminal (or the answer
// a question takes when nobody is asked), errors on stderr, the progress bar, and split threads
// waited for on the main thread.
#include <condition_variable>
#include <mutex>

#include "app/model/main_model.h"
#include "cli/console_dialogs.h"
#include "cli/console_split_view.h"

namespace kvx::cli {

class TConsoleMainView : public IMainView {
 public:
  // assumeAnswers (-y): every question takes its unattended answer without being asked.
  TConsoleMainView(bool showProgress, bool assumeAnswers);

  bool AskYesNo(const TQuestion& question) override;
  void ShowError(const std::string& caption, const std::string& text) override;
  std::optional<std::string> AskText(const TTextRequest& request) override;
  ISplitView* ProgressView() override { return &progress_; }
  void StartThread(TKarvexThread& thread, TPriority priority) override;
  bool ShowNextFilePrompt(const TPromptDescription& prompt) override;

  // Runs every split the model starts to its end, the next files of a list included: draws
  // the progress, takes Ctrl+C, ticks the elapsed time and calls the completion. False when a
  // split did not succeed.
  bool RunSplits(TMainModel& model);
  // True once an error box was shown (a launch refused).
  bool ErrorShown() const { return errorShown_; }

 private:
  void WaitForThread(TMainModel& model);

  ConsoleSplitView progress_;
  TConsoleDialogs dialogs_;
  const bool assumeAnswers_;
  bool errorShown_ = false;
  std::mutex mutex_;
  std::condition_variable ended_;
  bool threadEnded_ = false;
};

}  // namespace kvx::cli

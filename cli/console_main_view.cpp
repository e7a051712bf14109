#include "cli/console_main_view.h"

#include <chrono>
#include <iostream>

#include "cli/console.h"
#include "cli/html_text.h"
#include "cli/interrupt.h"
#include "common/text.h"

namespace kvx::cli {

TConsoleMainView::TConsoleMainView(bool showProgress, bool assumeAnswers)
    : progress_(showProgress), assumeAnswers_(assumeAnswers) {}

bool TConsoleMainView::AskYesNo(const TQuestion& question) {
  if (!assumeAnswers_) return dialogs_.AskYesNo(question);
  std::string text = question.Text;
  ReplaceAllExact(text, "\r\n", "\n");
  std::cerr << text << (question.WhenUnattended ? " yes\n" : " no\n");
  return question.WhenUnattended;
}

void TConsoleMainView::ShowError(const std::string& caption, const std::string& text) {
  errorShown_ = true;
  dialogs_.ShowError(caption, text);
}

std::optional<std::string> TConsoleMainView::AskText(const TTextRequest& request) {
  return dialogs_.AskText(request);
}

bool TConsoleMainView::ShowNextFilePrompt(const TPromptDescription& prompt) {
  if (!assumeAnswers_ && StdinIsTerminal()) return progress_.ShowPrompt(prompt).Ok;
  for (const std::string& line : prompt.HtmlLines) std::cerr << HtmlToPlain(line) << "\n";
  return true;
}

void TConsoleMainView::StartThread(TKarvexThread& thread, TPriority) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    threadEnded_ = false;
  }
  // A console split runs at the process's own priority.
  thread.OnEnd = [this] {
    std::lock_guard<std::mutex> lock(mutex_);
    threadEnded_ = true;
    ended_.notify_all();
  };
  thread.Start();
}

void TConsoleMainView::WaitForThread(TMainModel& model) {
  TKarvexThread& thread = *model.CurrentThread();
  auto nextTick = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  std::unique_lock<std::mutex> lock(mutex_);
  while (!ended_.wait_for(lock, std::chrono::milliseconds(250), [&] { return threadEnded_; })) {
    lock.unlock();
    if (TakeInterrupt()) progress_.AskToCancel(thread);
    progress_.DrawProgress(thread);
    for (; std::chrono::steady_clock::now() >= nextTick; nextTick += std::chrono::seconds(1)) model.TickElapsed();
    lock.lock();
  }
  lock.unlock();
  thread.Join();
  progress_.EraseProgress();
}

bool TConsoleMainView::RunSplits(TMainModel& model) {
  bool succeeded = true;
  CatchInterrupt();
  while (model.CurrentThread()) {
    WaitForThread(model);
    if (model.CurrentThread()->Outcome != "Successful") {
      succeeded = false;
      std::cerr << "karvex: " << model.CurrentThread()->Outcome << "\n";
    }
    model.SplitCompleted();
  }
  // A refused launch (the first, or a later file of a list) has shown its error.
  return succeeded && !errorShown_;
}

}  // namespace kvx::cli

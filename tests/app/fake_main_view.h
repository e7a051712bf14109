#pragma once
// A scripted main window: the questions and boxes of FakeDialogs, a scripted progress view,
// and split threads run at once on the caller's thread (the test then calls SplitCompleted).
#include <string>
#include <vector>

#include "app/model/main_model.h"
#include "fake_dialogs.h"
#include "support/fake_split_view.h"

namespace kvx::test {

class FakeMainView : public IMainView {
 public:
  bool AskYesNo(const TQuestion& question) override { return dialogs.AskYesNo(question); }
  void ShowError(const std::string& caption, const std::string& text) override { dialogs.ShowError(caption, text); }
  std::optional<std::string> AskText(const TTextRequest& request) override { return dialogs.AskText(request); }

  ISplitView* ProgressView() override { return &progress; }
  void StartThread(TKarvexThread& thread, TPriority priority) override {
    priorities.push_back(priority);
    thread.Execute();
  }
  void ShowMainWindow(bool shown) override { events.push_back(shown ? "show main" : "hide main"); }
  void ShowStatus(int panel, const std::string& text, int) override {
    events.push_back("status " + std::to_string(panel) + ": " + text);
  }
  void OpenHelpTopic(int topic) override { events.push_back("help " + std::to_string(topic)); }
  void EndProgram() override { events.push_back("end"); }

  FakeDialogs dialogs;
  FakeSplitView progress;
  std::vector<TPriority> priorities;
  std::vector<std::string> events;
};

// Runs the completion of every split started, as a window's end handler would.
inline void CompleteSplits(TMainModel& model) {
  while (model.CurrentThread()) model.SplitCompleted();
}

}  // namespace kvx::test

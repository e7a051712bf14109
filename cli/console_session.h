#pragma once
// One run of the main program's model on the console: the job starts as a new main window's
// does, with the preferences and options of the user, the current folder as destination and
// the SFU program builder; splits run to their end with the summary printed line for line.
#include "app/model/main_model.h"
#include "cli/console_main_view.h"
#include "sfu/builder/thread_sfu_builder.h"

namespace kvx::cli {

// A path as typed, made absolute against the current folder: the job keeps full paths, as the
// main window's choosers give them, so its profile and histories mean the same later.
std::string AbsolutePath(const std::string& path);

class TConsoleSession {
 public:
  // quiet (-q): nothing printed but errors. assumeAnswers (-y): questions are not asked.
  TConsoleSession(bool quiet, bool assumeAnswers);

  TMainModel& Model() { return model_; }
  TSplitJob& Job() { return model_.Job(); }

  // Splits the job (and the rest of a file list), prints the summary and writes the
  // preferences. Exit status: 0 when every split succeeded, 1 otherwise.
  int Split();
  // The launch's checks for the job (and each file of a list) without writing anything: the
  // head of the summary and the pieces each split would write. 0 when every launch passed.
  int DryRun();

 private:
  void PrintSummaryFrom(size_t line) const;
  void PrintPlan(const TKarvexThread& thread) const;

  const bool quiet_;
  TConsoleMainView view_;
  TThreadSfuBuilder sfuBuilder_;
  TMainModel model_;
};

}  // namespace kvx::cli

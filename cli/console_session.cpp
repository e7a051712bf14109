#include "cli/console_session.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "app/model/piece_plan.h"
#include "common/os/desktop.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "sfu/builder/sfu_payloads.h"

namespace kvx::cli {

namespace {

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string(".");
}

}  // namespace

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || os::IsPathSeparator(path[0])) return path;
  return AddBackslash(CurrentFolder()) + path;
}

namespace {

TAppFolders ConsoleFolders() { return {os::AppDataFolder(), os::ProgramFolder(), os::DocumentsFolder()}; }

}  // namespace

TConsoleSession::TConsoleSession(bool quiet, bool assumeAnswers)
    : quiet_(quiet),
      view_(!quiet && isatty(STDOUT_FILENO) == 1, assumeAnswers),
      sfuBuilder_(EmbeddedSfuPayloads()),
      model_(view_, ConsoleFolders()) {
  model_.SetSfuBuilder(&sfuBuilder_);
  model_.Initialize();
  const std::string unreadable = model_.ReadPreferences();
  if (!unreadable.empty()) std::cerr << "karvex: " << unreadable << " The built-in preferences are used.\n";
  model_.SetDefaultLanguage();
  // The console's destination is the current folder, not the documents folder.
  model_.Job().SetText(&TJobControls::destdir, CurrentFolder());
}

int TConsoleSession::Split() {
  model_.Split();
  const bool succeeded = view_.RunSplits(model_);
  PrintSummaryFrom(0);
  try {
    model_.Close();
  } catch (const std::exception& e) {
    std::cerr << "karvex: the preferences could not be saved: " << e.what() << "\n";
  }
  return succeeded ? 0 : 1;
}

int TConsoleSession::DryRun() {
  TSplitJob& job = model_.Job();
  const std::vector<TFileListRow> rows = model_.MultipleFiles() ? model_.FileList().Rows() : std::vector<TFileListRow>();
  bool passed = true;
  size_t printed = 0;
  for (size_t i = 0; i == 0 || i < rows.size(); ++i) {
    if (i > 0) {
      TProposalsOff off(job);
      job.SetText(&TJobControls::fich, rows[i].Path);
      job.SetText(&TJobControls::destdir, rows[i].Destination);
    }
    std::unique_ptr<TKarvexThread> thread = model_.PrepareLaunch(i > 0);
    PrintSummaryFrom(printed);
    printed = model_.Log().Lines().size();
    if (!thread) {
      passed = false;
      continue;
    }
    PrintPlan(*thread);
    model_.AbandonLaunch();
  }
  return passed ? 0 : 1;
}

void TConsoleSession::PrintSummaryFrom(size_t line) const {
  if (quiet_) return;
  const std::vector<TLogLine>& lines = model_.Log().Lines();
  for (size_t i = line; i < lines.size(); ++i) std::printf("%s\n", lines[i].Text.c_str());
  std::fflush(stdout);
}

void TConsoleSession::PrintPlan(const TKarvexThread& thread) const {
  if (quiet_) return;
  const TMoteurKarvex& engine = thread.Engine;
  if (!engine.Blocked) {
    std::printf("Disk-spanned pieces fill the free space of each disk: they are not planned.\n");
    return;
  }
  const TPiecePlan plan = PlanPieces(thread, os::FileSizeOf(engine.SourceFile));
  std::printf("Planned pieces:\n");
  for (const TPlannedPiece& piece : plan.Pieces)
    std::printf(" %s  %lld byte(s) of the original\n", (AddBackslash(engine.DestFolder) + piece.Name).c_str(),
                static_cast<long long>(piece.Size));
  if (plan.TooSmallPiece)
    std::printf(" Piece %d would hold less than one byte: the split would stop there.\n", plan.TooSmallPiece);
  if (thread.SfuEnabled && thread.SfuBuilder && !thread.SfuSizeIgnored && !plan.Pieces.empty())
    std::printf(" Piece 1 also makes room for the SFU program, so it will hold less.\n");
  std::fflush(stdout);
}

}  // namespace kvx::cli

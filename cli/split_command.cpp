#include "cli/split_command.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdio>
#include <iostream>
#include <vector>

#include "app/model/launch_checks.h"
#include "app/model/piece_sizes.h"
#include "app/model/sfu_controls.h"
#include "app/model/split_job.h"
#include "app/model/unique_id.h"
#include "cli/console.h"
#include "cli/console_dialogs.h"
#include "cli/console_split_view.h"
#include "cli/interrupt.h"
#include "cli/split_options.h"
#include "common/errors.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"
#include "engine/karvex_thread.h"
#include "sfu/builder/sfu_payloads.h"
#include "sfu/builder/thread_sfu_builder.h"

namespace kvx::cli {

namespace {

int64_t SourceSize(const std::string& path) {
  TFile file(path, cmOpenExisting, amRead, smShareReadWrite);
  return file.Size();
}

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string(".");
}

// The piece size the job asks for, after the checks that apply to its method.
void SetPieceSize(const SplitOptions& o, int64_t sourceSize, TMoteurKarvex& engine) {
  uint64_t size = 0;
  switch (o.method) {
    case SizeMethod::Proposed:
    case SizeMethod::Fixed: {
      const SizeProposal proposal = ProposePieceSize(sourceSize);
      size = o.method == SizeMethod::Fixed ? FixedPieceSize(o.sizeText, o.unit)
                                           : FixedPieceSize(proposal.sizeText, proposal.unit);
      CheckFixedPieceSize(size);
      if (static_cast<uint64_t>(sourceSize) < size && !AskYesNo(kLargerThanOriginalQuestion, true))
        RefuseLargerThanOriginal();
      CheckHeaderRoom(size, !o.noHeader);
      break;
    }
    case SizeMethod::Count:
      size = AveragePieceSize(sourceSize, *ParseInt64(o.sizeText), !o.noHeader, !o.noSfu);
      CheckComputedPieceSize(size);
      break;
    case SizeMethod::Listed:
    case SizeMethod::Spanned:
      return;
  }
  engine.PieceSize = static_cast<int64_t>(size);
}

// The SFU program as the main window's user would set it on the SFU pages, and as its launch
// copies it into the thread.
void ConfigureSfu(const SplitOptions& o, TKarvexThread& thread) {
  TConsoleDialogs dialogs;
  const TEnvironmentOptions environment;
  TSplitJob job(dialogs, environment);
  job.SetWelcomeText(kDefaultWelcomeText);
  job.SetText(&TJobControls::GTit, thread.Engine.SetTitle);
  job.SetFlag(&TJobControls::blocked, thread.Engine.Blocked);
  job.SetFlag(&TJobControls::csfufonc, !o.noSfu);
  job.SetFlag(&TJobControls::cnoaccount, o.sfuIgnoreSize);
  job.SetFlag(&TJobControls::cmerge, o.sfuMerge);
  if (o.sfuName) {
    job.SetFlag(&TJobControls::cchangenom, true);
    job.SetText(&TJobControls::tnomsfu, *o.sfuName);
  }
  for (const auto& [name, value] : o.sfuControls) SetControlFromText(job, *FindSfuControl(name), value);
  CheckSfuCustomFolder(job.Controls());
  std::string languageWarning;
  FillSfuInputs(job.Controls(), thread, languageWarning);
  // Without a language file named, the built-in texts are simply the default.
  if (!job.Controls().tlang.empty() && !languageWarning.empty() && !o.quiet)
    std::cerr << "karvex: " << languageWarning << "\n";
}

void Configure(const SplitOptions& o, TKarvexThread& thread) {
  TMoteurKarvex& engine = thread.Engine;
  CheckSourceExists(o.source);
  const int64_t sourceSize = SourceSize(o.source);
  engine.DestFolder = ResolveDestination(o.destination.empty() ? CurrentFolder() : o.destination, o.source);
  engine.Blocked = o.method != SizeMethod::Spanned;
  SetPieceSize(o, sourceSize, engine);
  CheckNameMask(o.mask);
  if (o.method == SizeMethod::Listed) {
    CheckCustomSizes(o.listedSizes);
    thread.CustomSizes = true;
    thread.CustomSizeList = o.listedSizes;
  }
  engine.SourceFile = o.source;
  engine.NameMask = o.mask;
  engine.NoHeader = o.noHeader;
  engine.SetTitle = o.title.empty() ? "Karvex Archive" : o.title;
  engine.Author = o.author.empty() ? "Karvex 2.0.0" : o.author;
  engine.Description = o.description;
  engine.UniqueId = o.uniqueId.empty() ? NewUniqueId() : o.uniqueId;
  engine.FirstDiskReserve = o.firstReserve;
  engine.OtherDiskReserve = o.otherReserve;
  engine.SplitDateTime = os::NowAsDateTime();
  ConfigureSfu(o, thread);
}

// Runs the thread, drawing the progress and taking Ctrl+C while it works.
void RunThread(TKarvexThread& thread, ConsoleSplitView& view) {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  thread.OnEnd = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
    ended.notify_all();
  };
  CatchInterrupt();
  thread.Start();
  std::unique_lock<std::mutex> lock(mutex);
  while (!ended.wait_for(lock, std::chrono::milliseconds(250), [&] { return done; })) {
    lock.unlock();
    if (TakeInterrupt()) view.AskToCancel(thread);
    view.DrawProgress(thread);
    lock.lock();
  }
  lock.unlock();
  thread.Join();
  view.EraseProgress();
}

// The run's log: headings and problems marked, details indented.
void PrintLog(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const std::string code = GetField(line, 1, '|');
    const std::string text = line.size() > code.size() ? line.substr(code.size() + 1) : std::string();
    if (line.empty()) std::printf("\n");
    else if (code == "1") std::printf("== %s\n", text.c_str());
    else if (code == "2") std::printf("ERROR: %s\n", text.c_str());
    else std::printf("   %s\n", text.c_str());
  }
}

// The pieces in piece order (piece 1 is written last).
void PrintPieces(const TKarvexThread& thread) {
  std::vector<std::string> records = thread.PieceRecords;
  if (!records.empty()) std::rotate(records.begin(), records.end() - 1, records.end());
  std::printf("%d piece(s) written to %s\n", thread.Engine.PiecesWritten, thread.Engine.DestFolder.c_str());
  for (const std::string& record : records)
    std::printf("  %s  (%s bytes of the original)\n", GetField(record, 3, '|').c_str(),
                GetField(record, 2, '|').c_str());
}

}  // namespace

int RunSplit(int argc, char** argv) {
  const SplitOptions options = ParseSplitOptions(argc, argv);
  ConsoleSplitView view(!options.quiet && isatty(STDOUT_FILENO) == 1);
  TKarvexThread thread(&view);
  TThreadSfuBuilder sfuBuilder(EmbeddedSfuPayloads());
  thread.SfuBuilder = &sfuBuilder;
  try {
    Configure(options, thread);
  } catch (const std::exception& e) {
    std::cerr << "karvex: " << e.what() << "\n";
    return 1;
  }
  RunThread(thread, view);
  if (!options.quiet) PrintLog(thread.LogLines);
  if (thread.Outcome != "Successful") {
    std::cerr << "karvex: " << thread.Outcome << "\n";
    return 1;
  }
  if (!options.quiet) PrintPieces(thread);
  return 0;
}

}  // namespace kvx::cli

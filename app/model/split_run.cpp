// The launch of a split, with its checks and the head of the summary, and the completion that
// finishes the summary, saves the automatic profile and goes on with a file list.
#include <algorithm>

#include "app/model/history_list.h"
#include "app/model/job_pages.h"
#include "app/model/launch_checks.h"
#include "app/model/main_model.h"
#include "app/model/profile.h"
#include "app/model/sfu_controls.h"
#include "app/model/unique_id.h"
#include "common/disk.h"
#include "common/errors.h"
#include "common/os/desktop.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"

namespace kvx {

namespace {

constexpr const char* kVersion = "2.0.0";
constexpr uint64_t kListedPieceCheckSize = 60000;

unsigned long long U(uint64_t value) { return value; }

TLogStyle StyleOfCode(const std::string& code) {
  if (code == "1") return lsHeading;
  if (code == "2") return lsError;
  return lsPlain;
}

}  // namespace

std::unique_ptr<TKarvexThread> TMainModel::PrepareLaunch(bool continuation) {
  if (!continuation) log_.Clear();
  log_.Add("SPLITTING OPERATION SUMMARY", lsTitle);
  log_.Add(Format("Karvex version %s", kVersion));
  log_.Add(os::DateTimeText());
  if (continuation) log_.Add("Option \"Multiple Files\" enabled.");
  log_.Add(" ");
  view_.SetPagesEnabled(false);
  try {
    const TJobControls& c = job_.Controls();
    CheckSourceExists(c.fich);
    resolvedDestination_ = ResolveDestination(c.destdir, c.fich);
    const int64_t sourceSize = std::max<int64_t>(0, os::FileSizeOf(c.fich));
    const uint64_t pieceSize = c.blocked ? CheckPieceSize(sourceSize) : 0;
    CheckNameMask(c.nomp);
    CheckSfuCustomFolder(c);
    if (c.GTit.empty()) job_.SetText(&TJobControls::GTit, "Karvex Archive");
    if (c.createur.empty()) job_.SetText(&TJobControls::createur, Format("Karvex %s", kVersion));
    if (c.tuniqid.empty()) job_.SetText(&TJobControls::tuniqid, NewUniqueId());
    view_.ShowStatus(0, "Splitting original file...", 0);
    elapsedSeconds_ = 1;
    timerRunning_ = true;
    view_.ShowProgress("Checking user settings...");
    view_.SetBusyCursor(true);
    LogFileInformation(sourceSize, pieceSize);
    log_.Add(" ");
    log_.Add("Operations", lsHeading);
    log_.Add("Preparing thread process...");
    auto thread = std::make_unique<TKarvexThread>(view_.ProgressView());
    FillThread(*thread, pieceSize);
    return thread;
  } catch (const std::exception& e) {
    ShowLaunchError(e.what());
    return nullptr;
  }
}

uint64_t TMainModel::CheckPieceSize(int64_t sourceSize) {
  const TJobControls& c = job_.Controls();
  uint64_t size = kListedPieceCheckSize;
  if (c.cdecide == smFixedSize) {
    size = job_.FixedPieceSize();
    CheckFixedPieceSize(size);
    if (static_cast<uint64_t>(sourceSize) < size) {
      TQuestion question;
      question.Text = kLargerThanOriginalQuestion;
      question.Caption = "Warning";
      question.Icon = diWarning;
      question.NoIsDefault = true;
      question.WhenUnattended = true;  // the size is the user's own choice
      if (!view_.AskYesNo(question)) RefuseLargerThanOriginal();
    }
    CheckHeaderRoom(size, !c.cnoheader);
  } else if (c.cdecide == smPieceCount) {
    size = job_.ComputedPieceSize;
    CheckComputedPieceSize(size);
  }
  return size;
}

void TMainModel::LogFileInformation(int64_t sourceSize, uint64_t pieceSize) {
  const TJobControls& c = job_.Controls();
  log_.Add("File Information", lsHeading);
  log_.Add("Filename: " + c.fich);
  log_.Add(Format("Size: %llu byte(s), %s.", U(sourceSize), SizeToText(3, sourceSize).c_str()));
  log_.Add("Destination path: " + resolvedDestination_);
  log_.Add("Selected Piece Type: ");
  log_.Add(c.blocked ? " Blocked Pieces" : " Spanned Disk Pieces");
  if (!c.blocked) return;
  if (c.cdecide == smListedSizes)
    log_.Add(" Sizes defined by the user.");
  else
    log_.Add(Format(" Piece Size: %llu byte(s), %s.", U(pieceSize), SizeToText(3, static_cast<int64_t>(pieceSize)).c_str()));
}

void TMainModel::FillThread(TKarvexThread& thread, uint64_t pieceSize) {
  const TJobControls& c = job_.Controls();
  thread.EncoderLibraryPath = EncoderLibraryPath;
  thread.SfuBuilder = sfuBuilder_;
  TMoteurKarvex& engine = thread.Engine;
  engine.DestFolder = resolvedDestination_;
  engine.SourceFile = c.fich;
  engine.Blocked = c.blocked;
  if (c.blocked && c.cdecide != smListedSizes) engine.PieceSize = static_cast<int64_t>(pieceSize);
  engine.UniqueId = c.tuniqid;
  engine.NameMask = c.nomp;
  engine.FirstDiskReserve = c.firstdisk;
  engine.OtherDiskReserve = c.resspace;
  engine.SetTitle = c.GTit;
  engine.Author = c.createur;
  engine.Description = c.tdesc;
  engine.SplitDateTime = os::NowAsDateTime();
  engine.NoHeader = c.cnoheader;

  if (c.blocked && c.cdecide == smListedSizes) {
    std::vector<std::string> sizes;
    for (const TCustomPiece& row : c.lvpieces) sizes.push_back(row.Size);
    CheckCustomSizes(sizes);
    thread.CustomSizes = true;
    thread.CustomSizeList = sizes;
  }
  std::string warning;
  FillSfuInputs(c, thread, warning);
  if (!warning.empty()) log_.Add(warning);
}

void TMainModel::ShowLaunchError(const std::string& text) {
  view_.SetBusyCursor(false);
  timerRunning_ = false;
  view_.SetPagesEnabled(true);
  view_.CloseProgress();
  log_.Add("Fatal Error", lsError);
  log_.Add(text);
  log_.Add("Operation ABORTED!", lsError);
  job_.Page = jpSummary;
  view_.ShowStatus(0, "", 0);
  view_.ShowError("Fatal Error", text);
}

void TMainModel::AbandonLaunch() {
  view_.SetBusyCursor(false);
  timerRunning_ = false;
  view_.SetPagesEnabled(true);
  view_.CloseProgress();
  view_.ShowStatus(0, "", 0);
}

void TMainModel::Split(bool continuation) {
  if (currentThread_) return;
  std::unique_ptr<TKarvexThread> thread = PrepareLaunch(continuation);
  if (!thread) return;
  const int priority = job_.Controls().cpriority;
  log_.Add("Launching thread...");
  view_.ShowMainWindow(false);
  currentThread_ = std::move(thread);
  view_.StartThread(*currentThread_, priority >= tpLowest && priority <= tpHighest ? static_cast<TPriority>(priority) : tpNormal);
}

void TMainModel::TickElapsed() {
  if (timerRunning_) ++elapsedSeconds_;
}

void TMainModel::SplitCompleted() {
  if (!currentThread_) return;
  view_.SetProgressStatus("Splitting Operation Successful!");
  view_.FinishProgress();
  timerRunning_ = false;
  AppendThreadResults(*currentThread_);
  const std::string profilePath = SaveAutomaticProfile();
  if (options_.caddMRUentries) {
    AddToHistory(job_.destdirItems, resolvedDestination_);
    AddToHistory(job_.fichItems, job_.Controls().fich);
  }
  log_.Add("Done.");
  currentThread_.reset();
  view_.SetProgressStatus("Initializing...");
  if (ContinueFileList()) return;
  EndRun(profilePath);
}

void TMainModel::AppendThreadResults(const TKarvexThread& thread) {
  for (const std::string& line : thread.LogLines) log_.Add(GetField(line, 2, '|'), StyleOfCode(GetField(line, 1, '|')));
  log_.Add("Operation complete", lsHeading);
  log_.Add(" ");
  log_.Add(Format("Elapsed time: %llu min, %llu sec.", U(elapsedSeconds_ / 60), U(elapsedSeconds_ % 60)));
  if (thread.Outcome == "Successful") {
    log_.Add("Result: successful.");
    log_.Add(Format("Total piece count: %d", thread.Engine.PiecesWritten));
    AddPieceLog(thread);
  } else {
    log_.Add("Result: NOT successful.", lsError);
    log_.Add("An error has occurred:");
    log_.Add(thread.Outcome);
  }
  log_.Add(" ");
}

// The pieces of the split, piece 1 first, as the element "log" at the end of the profile.
void TMainModel::AddPieceLog(const TKarvexThread& thread) {
  TSettingsElement& root = profile_.Root();
  root.Remove("log");
  TSettingsElement& pieces = root.Add("log");
  for (const std::string& record : thread.PieceRecords) {
    TSettingsElement& piece = pieces.Add("piece", GetField(record, 1, '|') == "1");
    piece.Add("path").Value = GetField(record, 3, '|');
    piece.Add("size").Value = GetField(record, 2, '|');
  }
}

// Stores the job and saves it as the source's automatic profile when the options ask for it;
// the path, whether or not it was saved.
std::string TMainModel::SaveAutomaticProfile() {
  const std::string path = AutomaticProfile();
  os::ForceDirectories(ProfilesFolder(folders_.AppData));
  if (!options_.cautosaveprof) return path;
  try {
    StoreJob(job_, profile_);
    profile_.Save(path);
    AddToHistory(cprofilesItems, path);
    log_.Add("Split profile saved as:");
    log_.Add(path);
  } catch (const std::exception&) {
    log_.Add("Error: could not save profile.");
  }
  return path;
}

// Puts the next file of the list into the job and launches it; false when the run ends here.
bool TMainModel::ContinueFileList() {
  if (!multipleFiles_ || fileList_.Empty()) return false;
  ++multiFileIndex_;
  const std::vector<TFileListRow>& rows = fileList_.Rows();
  if (multiFileIndex_ >= static_cast<int>(rows.size())) {
    multiFileIndex_ = 0;
    view_.ShowStatus(1, "", 0);
    return false;
  }
  const TFileListRow row = rows[multiFileIndex_];
  view_.ShowStatus(1, "Splitting " + ExtractFileName(row.Path), 0);
  {
    TProposalsOff off(job_);
    job_.SetText(&TJobControls::fich, row.Path);
    job_.SetText(&TJobControls::destdir, row.Destination);
  }
  if (options_.cmulprompt && IsRemovableDrive(row.Destination)) {
    TPromptDescription prompt;
    prompt.Caption = "Multiple Files";
    prompt.HtmlLines = {"Karvex is going to split the next file of the specified file list:<br>" +
                        ExtractFileName(row.Path) +
                        "<br>If you want to change the current removable disk, please do it now."};
    if (!view_.ShowNextFilePrompt(prompt)) return false;
  }
  Split(true);
  // A file whose launch fails ends the run, so the main window comes back.
  return currentThread_ != nullptr;
}

void TMainModel::EndRun(const std::string& profilePath) {
  view_.CloseProgress();
  view_.ShowMainWindow(true);
  view_.SetBusyCursor(false);
  view_.PlayInformationSound();
  job_.Page = jpSummary;
  view_.ShowStatus(0, "", 0);
  view_.SetPagesEnabled(true);
  std::string command = job_.Controls().texec;
  if (!command.empty()) {
    if (options_.cautosaveprof) ReplaceAll(command, "{profile}", profilePath);
    os::StartCommandLine(command);
  }
  if (unattended_ && commandLine_.Has("-t")) view_.EndProgram();
}

}  // namespace kvx

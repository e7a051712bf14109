#pragma once
// The main program without its windows: one split job with its profile document, the file
// list, the environment options and the preferences, the launch of a split with its checks and
// summary, its completion, and the start-up and end of the program. The main window (or the
// console) implements IMainView and forwards what the user does to the operations below.
//
// Commands raise EKarvexError or EOSError with the text the user reads; a view shows it with
// ShowCommandError. The launch shows its own errors ("Fatal Error").
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/model/command_line.h"
#include "app/model/environment_options.h"
#include "app/model/file_list.h"
#include "app/model/preferences.h"
#include "app/model/settings_document.h"
#include "app/model/split_job.h"
#include "app/model/summary_log.h"
#include "app/model/user_dialogs.h"
#include "engine/karvex_thread.h"

namespace kvx {

class IMainView : public IUserDialogs {
 public:
  // The progress window, which shows the split thread's rows and asks its disk questions.
  virtual ISplitView* ProgressView() = 0;
  // Starts a prepared split thread at a priority. When the thread has ended, the view calls
  // TMainModel::SplitCompleted on the thread that runs the model (never from the worker).
  virtual void StartThread(TKarvexThread& thread, TPriority priority) = 0;
  // The progress window's disk prompt, without its folder box, before the next file of a list
  // goes to a removable disk; true for OK. Going on is the user's own plan, so a view where
  // nobody can answer takes OK.
  virtual bool ShowNextFilePrompt(const TPromptDescription& prompt) {
    ISplitView* progress = ProgressView();
    return progress && progress->ShowPrompt(prompt).Ok;
  }

  // What the windows do around a split; nothing by default.
  virtual void SetPagesEnabled(bool) {}
  virtual void ShowMainWindow(bool) {}
  virtual void SetBusyCursor(bool) {}
  // Panel 0 holds short messages, panel 1 the file being split in a file-list run; a message
  // with seconds > 0 goes away after that time.
  virtual void ShowStatus(int /*panel*/, const std::string& /*text*/, int /*seconds*/) {}
  // The progress window gets back its caption "Splitting File" and its enabled "&Cancel",
  // starts its time estimate, empties its list and shows with the status line given.
  virtual void ShowProgress(const std::string& /*status*/) {}
  virtual void SetProgressStatus(const std::string& /*status*/) {}
  // The split has ended: Cancel is disabled and the time estimate stops.
  virtual void FinishProgress() {}
  virtual void CloseProgress() {}
  virtual void PlayInformationSound() {}
  virtual void OpenHelpTopic(int /*topic*/) {}
  virtual void EndProgram() {}
};

// Where the program finds and keeps its files.
struct TAppFolders {
  std::string AppData;    // per-user application data
  std::string Program;    // the folder of the program file
  std::string Documents;  // the default destination, with a trailing separator
};

struct TProfileMenuEntry {
  std::string Caption;  // the file name without its first ".kxc"
  int HistoryIndex = 0;
};
struct TProfilesMenu {
  bool LastProfileEnabled = false;  // "Last profile for this file"
  std::vector<TProfileMenuEntry> History;
  bool SeparatorVisible = false;
};

class TMainModel {
 public:
  TMainModel(IMainView& view, const TAppFolders& folders);
  ~TMainModel();

  TSplitJob& Job() { return job_; }
  const TSummaryLog& Log() const { return log_; }
  TEnvironmentOptions& Options() { return options_; }
  TFileList& FileList() { return fileList_; }
  TSettingsDocument& ProfileDocument() { return profile_; }
  TPreferences& Preferences() { return preferences_; }
  TWindowPlacement& Placement() { return settings_.Placement; }
  std::vector<std::string>& ProfileHistory() { return cprofilesItems; }
  // The SFU program builder the split threads use; null writes no SFU program.
  void SetSfuBuilder(ISfuProgramBuilder* builder) { sfuBuilder_ = builder; }
  std::string EncoderLibraryPath;

  // Start-up, in this order (Start runs them all): the job's first state; the stored settings
  // of the main window and the environment options; the default language file and welcome
  // text; the first-run question; the start-up profile; the command line ("-c", "-b", "-i",
  // "-go", "-t"). ReadPreferences returns the reader's message for a preferences file that
  // exists but cannot be read (its defaults are used).
  void Initialize();
  std::string ReadPreferences();
  void SetDefaultLanguage();
  void AskFirstRun();
  void LoadStartupProfile();
  void ApplyCommandLine(const TCommandLine& line);
  void Start(const TCommandLine& line);
  // The end: the main window's settings and the options reach the preferences file.
  void Close();

  // The split (bsplitClick): the launch with its checks; on success the thread is started
  // through the view, on failure the error is logged and shown and nothing is started.
  // continuation: the next file of a file list (the summary goes on).
  void Split(bool continuation = false);
  // The launch without its start: checks, defaults, the summary head and a filled thread, or
  // null after the error path. AbandonLaunch gives back the idle state after a prepared thread
  // was not started (a dry run).
  std::unique_ptr<TKarvexThread> PrepareLaunch(bool continuation = false);
  void AbandonLaunch();
  // The completion handler: called by the view after CurrentThread has ended.
  void SplitCompleted();
  // One second of the elapsed-time timer.
  void TickElapsed();
  TKarvexThread* CurrentThread() const { return currentThread_.get(); }
  const std::string& ResolvedDestination() const { return resolvedDestination_; }
  uint64_t ElapsedSeconds() const { return elapsedSeconds_; }
  int MultiFileIndex() const { return multiFileIndex_; }
  bool Unattended() const { return unattended_; }

  // Profiles.
  // bloadClick with the chosen file: the profile's source comes with it, unless keepSource.
  void OpenProfile(const std::string& path, bool keepSource = false);
  void SaveProfileAs(const std::string& path);   // bsaveconfClick with the chosen file
  TProfilesMenu ProfilesMenu() const;
  void OpenProfileFromHistory(int historyIndex);
  void OpenLastProfileForThisFile();
  void TextBasedProfile();
  std::string AutomaticProfile() const;

  // Multiple files and batch text files.
  bool MultipleFiles() const { return multipleFiles_; }  // the note of page 0 is shown
  void ApplyFileList();
  void ClearFileListFromNote();  // the note's "clear" link
  void ApplyBatchFile(const std::string& path, bool launch);

  // Environment options.
  void CloseOptions();  // the options window closes: they are written
  void ClearSavedProfiles();

  // Commands that start other programs or end this one.
  void RunUniteTool() const;
  void RunBundlor() const;
  void RunExplorer() const;
  bool ConfirmExit();

 private:
  void ShowLaunchError(const std::string& text);
  void FillThread(TKarvexThread& thread, uint64_t pieceSize);
  uint64_t CheckPieceSize(int64_t sourceSize);
  void LogFileInformation(int64_t sourceSize, uint64_t pieceSize);
  void AppendThreadResults(const TKarvexThread& thread);
  void AddPieceLog(const TKarvexThread& thread);
  std::string SaveAutomaticProfile();
  bool ContinueFileList();
  void EndRun(const std::string& profilePath);

  IMainView& view_;
  TAppFolders folders_;
  TEnvironmentOptions options_;
  TSplitJob job_;
  TSettingsDocument profile_;
  TFileList fileList_;
  TPreferences preferences_;
  TMainWindowSettings settings_;
  TSummaryLog log_;
  std::vector<std::string> cprofilesItems;
  ISfuProgramBuilder* sfuBuilder_ = nullptr;
  std::unique_ptr<TKarvexThread> currentThread_;
  std::string resolvedDestination_;
  uint64_t elapsedSeconds_ = 0;
  bool timerRunning_ = false;
  int multiFileIndex_ = 0;
  bool multipleFiles_ = false;
  bool unattended_ = false;
  TCommandLine commandLine_;
};

// Runs a command of the main window, showing any error it raises in the application's error box.
template <typename Command>
void RunCommand(IUserDialogs& dialogs, Command command) {
  try {
    command();
  } catch (const std::exception& e) {
    dialogs.ShowError(kApplicationTitle, CommandErrorText(e.what()));
  }
}

}  // namespace kvx

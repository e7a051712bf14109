#include "app/model/main_model.h"

#include "app/model/batch_reader.h"
#include "app/model/history_list.h"
#include "app/model/job_pages.h"
#include "app/model/profile.h"
#include "common/errors.h"
#include "common/os/desktop.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"

namespace kvx {

namespace {

std::string WithoutTrailingSeparator(std::string path) {
  if (!path.empty() && os::IsPathSeparator(path.back())) path.pop_back();
  return path;
}

}  // namespace

TMainModel::TMainModel(IMainView& view, const TAppFolders& folders)
    : view_(view),
      folders_(folders),
      job_(view, options_),
      profile_(kProfileRoot),
      fileList_(view),
      preferences_(folders.AppData) {}

TMainModel::~TMainModel() = default;

// ---- Start-up and end --------------------------------------------------------------------

void TMainModel::Initialize() { job_.Initialize(folders_.Documents); }

std::string TMainModel::ReadPreferences() {
  const std::string message = preferences_.Load();
  preferences_.ReadMainWindow(settings_);
  job_.fichItems = settings_.fichItems;
  job_.destdirItems = settings_.destdirItems;
  cprofilesItems = settings_.cprofilesItems;
  job_.SetText(&TJobControls::fich, settings_.fichText);
  preferences_.ReadOptions(options_);
  return message;
}

void TMainModel::SetDefaultLanguage() {
  const std::string english = AddBackslash(AddBackslash(folders_.Program) + "SFULang") + "English.kxl";
  job_.SetText(&TJobControls::tlang, os::FileExists(options_.deflang) ? options_.deflang : english);
  job_.SetWelcomeText(kDefaultWelcomeText);
  job_.tlangChange();
}

void TMainModel::AskFirstRun() {
  if (!settings_.FirstRun) return;
  settings_.FirstRun = false;
  TQuestion question;
  question.Text =
      "This is the first time you run Karvex. Do you want to display the \"Getting Started\" topic so you can "
      "quickly learn how to use Karvex?\r\nYou can also take a look at the animated tutorials.";
  question.Caption = "Welcome";
  if (view_.AskYesNo(question)) view_.OpenHelpTopic(1003);
}

void TMainModel::LoadStartupProfile() {
  if (os::FileExists(options_.config)) OpenProfile(options_.config);
}

void TMainModel::ApplyCommandLine(const TCommandLine& line) {
  commandLine_ = line;
  if (os::FileExists(line.File)) job_.SetText(&TJobControls::fich, line.File);
  if (line.Has("-c") && os::FileExists(line.SecondFile)) OpenProfile(line.SecondFile);
  if (line.Has("-b")) {
    unattended_ = true;
    if (os::FileExists(line.SecondFile)) ApplyBatchFile(line.SecondFile, line.Has("-i"));
  }
  if (line.Has("-go") && os::FileExists(job_.Controls().fich)) {
    unattended_ = true;
    Split();
  }
}

void TMainModel::Start(const TCommandLine& line) {
  Initialize();
  ReadPreferences();
  SetDefaultLanguage();
  AskFirstRun();
  unattended_ = false;
  LoadStartupProfile();
  ApplyCommandLine(line);
}

void TMainModel::Close() {
  settings_.fichItems = job_.fichItems;
  settings_.destdirItems = job_.destdirItems;
  settings_.fichText = job_.Controls().fich;
  settings_.cprofilesItems = cprofilesItems;
  preferences_.WriteMainWindow(settings_);
  preferences_.WriteOptions(options_);
}

// ---- Profiles ----------------------------------------------------------------------------

void TMainModel::OpenProfile(const std::string& path, bool keepSource) {
  const std::string source = job_.Controls().fich;
  TProposalsOff off(job_);
  profile_.Open(path);
  if (RestoreJob(profile_, job_)) view_.ShowStatus(0, "Profile loaded.", 3);
  if (keepSource) job_.SetText(&TJobControls::fich, source);
  job_.fichChange();
}

void TMainModel::SaveProfileAs(const std::string& path) {
  StoreJob(job_, profile_);
  profile_.Save(path);
}

std::string TMainModel::AutomaticProfile() const { return AutomaticProfilePath(folders_.AppData, job_.Controls().fich); }

TProfilesMenu TMainModel::ProfilesMenu() const {
  TProfilesMenu menu;
  menu.LastProfileEnabled = os::FileExists(AutomaticProfile());
  for (size_t i = 0; i < cprofilesItems.size(); ++i) {
    if (!os::FileExists(cprofilesItems[i])) continue;
    std::string caption = ExtractFileName(cprofilesItems[i]);
    const size_t at = UpperCaseAscii(caption).find(".KXC");
    if (at != std::string::npos) caption.erase(at, 4);
    menu.History.push_back({caption, static_cast<int>(i)});
  }
  menu.SeparatorVisible = !menu.History.empty();
  return menu;
}

void TMainModel::OpenProfileFromHistory(int historyIndex) {
  const bool listed = historyIndex >= 0 && historyIndex < static_cast<int>(cprofilesItems.size());
  if (listed && os::FileExists(cprofilesItems[historyIndex])) OpenProfile(cprofilesItems[historyIndex], true);
}

void TMainModel::OpenLastProfileForThisFile() {
  const std::string path = AutomaticProfile();
  if (os::FileExists(path)) OpenProfile(path, true);
}

void TMainModel::TextBasedProfile() {
  view_.ShowStatus(0, "Profile loaded.", 3);
  const TJobControls& c = job_.Controls();
  job_.SetText(&TJobControls::nomp, ChangeFileExt(ExtractFileName(c.nomp), "") + ExtractFileExt(c.fich));
  job_.SetFlag(&TJobControls::cnoheader, true);
}

// ---- Multiple files and batch text files -------------------------------------------------

void TMainModel::ApplyFileList() {
  multipleFiles_ = !fileList_.Empty();
  if (!multipleFiles_) return;
  job_.SetText(&TJobControls::fich, fileList_.Rows().front().Path);
  job_.SetText(&TJobControls::destdir, fileList_.Rows().front().Destination);
}

void TMainModel::ClearFileListFromNote() {
  fileList_.Clear();
  ApplyFileList();
}

void TMainModel::ApplyBatchFile(const std::string& path, bool launch) {
  TBatchReader batch;
  batch.Open(path);
  const auto text = [&](const char* key, const std::string& missing) { return batch.Text("Main", key).value_or(missing); };
  const auto flag = [&](const char* key, bool missing) {
    const auto number = batch.Number("Main", key);
    return number ? *number != 0 : missing;
  };
  const TJobControls& c = job_.Controls();
  const std::string configFile = text("ConfigFile", "");
  if (os::FileExists(configFile)) OpenProfile(configFile);
  const std::string destination = text("DestFolder", WithoutTrailingSeparator(folders_.Documents));
  if (flag("MulFiles", false)) {
    job_.SetText(&TJobControls::destdir, destination);
    for (const std::string& line : batch.Lines("FileList"))
      fileList_.Add(line.size() > 2 ? line.substr(2) : std::string(), c.destdir);
    ApplyFileList();
  } else {
    job_.SetText(&TJobControls::fich, text("Source", ""));
    job_.SetText(&TJobControls::destdir, destination);
  }
  job_.SetFlag(&TJobControls::blocked, !flag("TypePieSpanned", false));
  if (c.blocked) {
    if (batch.Number("Main", "SplitMethod").value_or(0) == 1) {
      job_.SetIndex(&TJobControls::cdecide, smPieceCount);
      job_.SetText(&TJobControls::tsize, text("PieNumber", "5"));
    } else {
      job_.SetText(&TJobControls::tsize, text("PieSize", c.tsize));
      const std::string unit = text("PieSizeUnit", "");
      if (!unit.empty()) {
        int index = -1;
        for (int i = 0; i < 4; ++i)
          if (SameTextAscii(unit, kSizeUnits[i])) index = i;
        job_.SelectUnit(index);
      }
    }
  }
  job_.SetText(&TJobControls::GTit, text("Title", c.GTit));
  job_.SetText(&TJobControls::nomp, text("PieMask", c.nomp));
  job_.SetText(&TJobControls::createur, text("Author", c.createur));
  job_.SetFlag(&TJobControls::cnoheader, flag("NoPieHeader", c.cnoheader));
  job_.SetText(&TJobControls::tdesc, text("Description", c.tdesc));
  job_.bgenuniqIDClick();
  if (launch) Split();
}

// ---- Environment options -----------------------------------------------------------------

void TMainModel::CloseOptions() { preferences_.WriteOptions(options_); }

void TMainModel::ClearSavedProfiles() {
  const std::string folder = ProfilesFolder(folders_.AppData);
  if (!os::DirectoryExists(folder)) return;
  TQuestion question;
  question.Text = "Are you sure you want to remove all profiles that were automatically saved by Karvex from your computer?";
  question.Caption = "Confirmation";
  question.Icon = diWarning;
  question.NoIsDefault = true;
  if (!view_.AskYesNo(question)) return;
  // A failed deletion is not reported; the list is emptied all the same.
  os::RecycleFolder(folder);
  cprofilesItems.clear();
}

// ---- Other programs ----------------------------------------------------------------------

void TMainModel::RunUniteTool() const {
  const std::string path = AddBackslash(folders_.Program) + "JOINEX.EXE";
  if (!os::FileExists(path))
    throw EKarvexError("Joinex (Karvex Unite tool) was not found in the main folder.\r\nPlease reinstall Karvex on your system.\r\n" + path);
  os::StartCommandLine("\"" + path + "\"");
}

void TMainModel::RunBundlor() const {
  const std::string path = AddBackslash(options_.pbloc) + "BUNDLOR.EXE";
  if (!os::FileExists(path))
    throw EKarvexError(
        "Karvex was not configured to execute Bundlor. Please open the Environment Options to select the Bundlor's "
        "location path.");
  os::StartCommandLine("\"" + path + "\"");
}

void TMainModel::RunExplorer() const { os::StartCommandLine("EXPLORER.EXE"); }

bool TMainModel::ConfirmExit() {
  TQuestion question;
  question.Text = "Are you sure you want to exit Karvex?";
  question.Caption = "Confirmation";
  question.NoIsDefault = true;
  return view_.AskYesNo(question);
}

}  // namespace kvx

#pragma once
// The split job of the main window: its controls and every rule that keeps them consistent.
// A view shows the state and forwards what the user does to the operations below; each
// operation recomputes what depends on the control it names and nothing else. Setting a
// control runs its change handling only when its value changes, as a window control does.
#include <cstdint>
#include <string>
#include <vector>

#include "app/model/environment_options.h"
#include "app/model/job_controls.h"
#include "app/model/user_dialogs.h"

namespace kvx {

// The "File Information" panel of page 0.
struct TSourceInformation {
  bool Exists = false;
  std::string FileName;  // the line " Filename: " + name follows the shell's icon
  std::string SizeLine;  // "Size: %u byte(s), %s."
  // Shown when no file exists; the links "Open file" and "See file properties" show with a file.
  static constexpr const char* kNoFile = "Please select an existing source file and its properties will appear here.";
};

// The "Disk Information" panel of page 1; Valid once an existing destination was described.
struct TDiskInformation {
  bool Valid = false;
  std::string FreeSpace;       // "Free Space: 42%"
  std::string AvailableSpace;  // "Available Space: ..."
  std::string TotalSpace;      // "Total Space: ..."
  bool Removable = false;      // the icon beside "Is Removable:"
};

// What a view needs for each page-2 control that depends on the size method.
struct TMethodText {
  const char* Entry;     // the entry of cdecide
  const char* Label;     // the label before tsize; null: unchanged
  const char* HelpText;  // the panel above them
};
extern const TMethodText kSizeMethods[3];
extern const char* const kSizeUnits[4];
extern const char* const kPriorities[5];
extern const char* const kDestinationKinds[6];

class TSplitJob {
 public:
  TSplitJob(IUserDialogs& dialogs, const TEnvironmentOptions& options);

  // The state of a new main window, set in order: size 100000, normal priority, page 0, method
  // 0 with its proposals, no source, bytes, the documents folder unless destdir names a folder,
  // SFU category 0, a fresh unique ID, then every dependent control.
  void Initialize(const std::string& documentsFolder);

  const TJobControls& Controls() const { return c_; }

  // Putting a value into a control, as the user or the program does; each runs the change
  // handling of the control when the value changes.
  void SetText(std::string TJobControls::*control, const std::string& value);
  void SetFlag(bool TJobControls::*control, bool value);
  void SetIndex(int TJobControls::*control, int value);
  void SetNumber(int64_t TJobControls::*control, int64_t value);
  // The whole custom piece list at once (profiles, the console); refreshes the list state.
  void SetCustomPieces(const std::vector<TCustomPiece>& rows);
  // The welcome text typed by the user: from now on a language file does not replace it.
  void EditWelcomeText(const std::vector<std::string>& lines);
  // The welcome text set by the program (defaults, profiles): it counts as not edited.
  void SetWelcomeText(const std::vector<std::string>& lines);
  // The unit chosen by the program (profiles, batch files, predefined sizes): no question is
  // asked, the estimates follow.
  void SelectUnit(int unit);

  // Handlers.
  void fichChange();
  void destdirChange();
  void bspanClick();
  void cdecideChange();
  void tsizeChange();
  void cselunitChange();
  void cnoheaderClick();
  void cmergeClick();
  void copenClick();
  void cwaitforendClick();
  void firstdiskChange();
  void tlangChange();
  // Appends "{" + variable + "}" to the name mask (num, orf, ore, ofw, oru).
  void htmvarAnchorClick(const std::string& variable);
  void bgenuniqIDClick();
  void Addpiecewithspecifiedsize1Click();
  void Remainingamount1Click();
  void bdelpieClick();
  // Selects a row of the custom piece list (-1: none).
  void lvpiecesSelectItem(int row);
  // Page 7: the category list, its arrows.
  void categChange(int category);
  void bprevsfuClick();
  void bnextsfuClick();
  // Files dropped from the shell: the first, when it exists, becomes the source; page 0 shows.
  void DropFiles(const std::vector<std::string>& paths);
  // The predefined size chosen: unit "Bytes", then the value text into tsize.
  void TakePredefinedSize(const std::string& valueText);

  // Internal operations.
  uint64_t FixedPieceSize() const;
  void UpdateEstimates();
  void ProposeSizes(bool enabled);
  void UpdatePieceList();
  void RefreshDependentControls();

  // The job state besides the controls.
  bool ProposalsEnabled = true;
  uint64_t ComputedPieceSize = 0;
  int Page = 0;
  int SfuCategory = 0;
  std::vector<std::string> fichItems;     // history of source files
  std::vector<std::string> destdirItems;  // history of destination folders

  // What the views show.
  const TSourceInformation& SourceInformation() const { return source_; }
  const TDiskInformation& DiskInformation() const { return disk_; }
  const std::string& EstimateText() const { return estimate_; }
  const std::string& RoundedSizes() const { return rounded_; }
  const char* SizeLabel() const { return sizeLabel_; }
  const char* MethodHelpText() const;
  bool BlockedPanelVisible() const { return c_.blocked; }
  bool UnitVisible() const { return c_.cdecide == smFixedSize; }  // also "in" and "Predefined"
  bool PieceListVisible() const { return c_.cdecide == smListedSizes; }
  bool SizeAcceptsFractions() const { return c_.cdecide == smFixedSize; }
  const std::string& RemainingText() const { return remaining_; }
  bool AddPieceEnabled() const { return addPieceEnabled_; }
  bool DeletePieceEnabled() const { return selectedRow_ >= 0; }
  int SelectedRow() const { return selectedRow_; }
  bool WelcomeEdited() const { return welcomeEdited_; }
  bool PreviousCategoryEnabled() const { return SfuCategory > 0; }
  bool NextCategoryEnabled() const { return SfuCategory < 5; }

  // Enabled states of the dependent controls (Checked states live in the controls); tnomsfu
  // follows cchangenom and tcustfold follows rep without any handler.
  bool csfufoncEnabled() const { return !c_.cnoheader; }
  bool cnoaccountEnabled() const { return c_.blocked && !c_.cmerge; }
  bool tnomsfuEnabled() const { return c_.cchangenom; }
  bool cwaitforendEnabled() const { return c_.copen; }  // and param with its label
  bool cdeleteEnabled() const { return c_.cwaitforend; }
  bool tcustfoldEnabled() const { return c_.rep == dkCustomFolder; }

  // "Disk Tools" targets: the drive root and the folder part of destdir, empty when missing.
  std::string DiskPropertiesTarget() const;
  std::string FolderPropertiesTarget() const;

 private:
  bool SourceExists() const;
  int64_t SourceSize() const;
  int64_t RemainingBytes() const;
  void RunTextHandler(std::string TJobControls::*control);
  void RunFlagHandler(bool TJobControls::*control);
  void AppendPiece(uint64_t size);
  void SetUnitQuietly(int unit);

  IUserDialogs& dialogs_;
  const TEnvironmentOptions& options_;
  TJobControls c_;
  TSourceInformation source_;
  TDiskInformation disk_;
  std::string estimate_;
  std::string rounded_;
  const char* sizeLabel_ = "Size:";
  std::string remaining_;
  bool addPieceEnabled_ = false;
  int selectedRow_ = -1;
  bool welcomeEdited_ = false;
  bool rememberedSfu_ = true;
};

// ProposalsEnabled is off for the life of one operation (restoring a profile, taking the next
// file of a list), and on again however it ends.
class TProposalsOff {
 public:
  explicit TProposalsOff(TSplitJob& job) : job_(job) { job_.ProposalsEnabled = false; }
  ~TProposalsOff() { job_.ProposalsEnabled = true; }
  TProposalsOff(const TProposalsOff&) = delete;
  TProposalsOff& operator=(const TProposalsOff&) = delete;

 private:
  TSplitJob& job_;
};

// The nine lines of the default welcome text; its placeholders are filled by the SFU builder.
extern const std::vector<std::string> kDefaultWelcomeText;
// The companion welcome file of a language file: every ".kxl" (any case) becomes
// "DefWelcome.txt".
std::string CompanionWelcomeFile(const std::string& languageFile);

}  // namespace kvx

#include "app/model/split_job.h"

#include "app/model/estimates.h"
#include "app/model/job_pages.h"
#include "app/model/unique_id.h"
#include "common/os/os.h"
#include "common/text.h"

namespace kvx {

const TMethodText kSizeMethods[3] = {
    {"I want to set the size of all piece files", "Size:",
     "Please enter the <B>size</B> of all piece files. You may also select one of the several predefined "
     "values, by clicking on the button below. Karvex will then tell you the <B>number of pieces</B> it will "
     "create."},
    {"I want to define the number of pieces to create", "Number of pieces:",
     "Please enter the <B>number of pieces</B> you want to create. Karvex will then automatically calculate "
     "the size of piece files."},
    {"I want to define the size for each piece file myself", nullptr,
     "Please use this list to define the number of pieces and the size of each piece file. Note that the size "
     "of the last piece file will be indicative only."},
};
const char* const kSizeUnits[4] = {"Bytes", "KB", "MB", "GB"};
const char* const kPriorities[5] = {"Lowest", "Lower", "Normal", "Higher", "Highest"};
const char* const kDestinationKinds[6] = {"Windows Folder", "System Directory", "Temp Folder",
                                          "Current Folder", "SFU Folder",       "Custom Folder"};

TSplitJob::TSplitJob(IUserDialogs& dialogs, const TEnvironmentOptions& options)
    : dialogs_(dialogs), options_(options) {}

void TSplitJob::Initialize(const std::string& documentsFolder) {
  c_.tsize = "100000";
  c_.cpriority = tpNormal;
  Page = jpOriginalFile;
  c_.cdecide = smFixedSize;
  cdecideChange();
  c_.fich.clear();
  fichChange();
  c_.cselunit = suBytes;
  if (!os::DirectoryExists(c_.destdir)) c_.destdir = documentsFolder;
  destdirChange();
  SfuCategory = 0;
  c_.tuniqid = NewUniqueId();
  RefreshDependentControls();
}

void TSplitJob::SetText(std::string TJobControls::*control, const std::string& value) {
  if (c_.*control == value) return;
  c_.*control = value;
  RunTextHandler(control);
}

void TSplitJob::RunTextHandler(std::string TJobControls::*control) {
  if (control == &TJobControls::fich) fichChange();
  else if (control == &TJobControls::destdir) destdirChange();
  else if (control == &TJobControls::tsize) tsizeChange();
  else if (control == &TJobControls::tlang) tlangChange();
}

void TSplitJob::SetFlag(bool TJobControls::*control, bool value) {
  if (c_.*control == value) return;
  c_.*control = value;
  RunFlagHandler(control);
}

void TSplitJob::RunFlagHandler(bool TJobControls::*control) {
  if (control == &TJobControls::blocked) bspanClick();
  else if (control == &TJobControls::cnoheader) cnoheaderClick();
  else if (control == &TJobControls::cmerge) cmergeClick();
  else if (control == &TJobControls::copen) copenClick();
  else if (control == &TJobControls::cwaitforend) cwaitforendClick();
  // The average piece size allows for the SFU program.
  else if (control == &TJobControls::csfufonc) tsizeChange();
}

void TSplitJob::SetIndex(int TJobControls::*control, int value) {
  if (c_.*control == value) return;
  c_.*control = value;
  if (control == &TJobControls::cdecide) cdecideChange();
  else if (control == &TJobControls::cselunit) cselunitChange();
}

void TSplitJob::SetNumber(int64_t TJobControls::*control, int64_t value) {
  if (c_.*control == value) return;
  c_.*control = value;
  firstdiskChange();
}

void TSplitJob::SetCustomPieces(const std::vector<TCustomPiece>& rows) {
  c_.lvpieces = rows;
  selectedRow_ = -1;
  UpdatePieceList();
}

void TSplitJob::EditWelcomeText(const std::vector<std::string>& lines) {
  c_.memwelc = lines;
  welcomeEdited_ = true;
}

void TSplitJob::SetWelcomeText(const std::vector<std::string>& lines) {
  c_.memwelc = lines;
  welcomeEdited_ = false;
}

void TSplitJob::SelectUnit(int unit) {
  c_.cselunit = unit;
  UpdateEstimates();
  tsizeChange();
}

bool TSplitJob::SourceExists() const { return os::FileSizeOf(c_.fich) >= 0; }

int64_t TSplitJob::SourceSize() const {
  const int64_t size = os::FileSizeOf(c_.fich);
  return size < 0 ? 0 : size;
}

uint64_t TSplitJob::FixedPieceSize() const {
  return kvx::FixedPieceSize(c_.tsize, static_cast<TSizeUnit>(c_.cselunit));
}

const char* TSplitJob::MethodHelpText() const {
  return c_.cdecide >= 0 && c_.cdecide < 3 ? kSizeMethods[c_.cdecide].HelpText : "";
}

void TSplitJob::bspanClick() {
  tsizeChange();
  cmergeClick();
}

void TSplitJob::cdecideChange() {
  if (c_.cdecide < 0 || c_.cdecide > 2) return;
  if (kSizeMethods[c_.cdecide].Label) sizeLabel_ = kSizeMethods[c_.cdecide].Label;
  if (c_.cdecide == smPieceCount) c_.cselunit = suBytes;
  if (c_.cdecide == smListedSizes) UpdatePieceList();
  ProposeSizes(true);
}

void TSplitJob::tsizeChange() {
  if (c_.cdecide != smFixedSize && c_.cdecide != smPieceCount) return;
  if (c_.tsize.empty()) c_.tsize = "0";
  ComputedPieceSize = 0;
  if (SourceExists()) UpdateEstimates();
  else estimate_ = kNoSourceEstimate;
}

void TSplitJob::cselunitChange() {
  const uint64_t typed = kvx::FixedPieceSize(c_.tsize, suBytes);
  if ((c_.cselunit == suGB && typed > 3000) || (c_.cselunit == suMB && typed > 3000000)) {
    TQuestion question;
    question.Text = "Warning: do you really want to switch the piece size to " + c_.tsize + " GB?";
    question.Caption = "Warning";
    question.Icon = diWarning;
    question.WhenUnattended = true;  // the unit is the user's own choice
    if (!dialogs_.AskYesNo(question)) c_.cselunit = suMB;
  }
  UpdateEstimates();
  tsizeChange();
}

void TSplitJob::UpdateEstimates() {
  if (!SourceExists()) return;
  const int64_t size = SourceSize();
  if (c_.cdecide == smFixedSize) {
    const uint64_t piece = FixedPieceSize();
    if (piece > 0) estimate_ = PieceCountEstimate(size, piece);
    ComputedPieceSize = 0;
    rounded_ = RoundedSizesText(piece, c_.cselunit);
  } else if (c_.cdecide == smPieceCount) {
    const int64_t count = ParseInt64(c_.tsize).value_or(0);
    if (count <= 0) return;
    ComputedPieceSize = AveragePieceSize(size, count, !c_.cnoheader, c_.csfufonc);
    estimate_ = AverageSizeEstimate(ComputedPieceSize);
    rounded_ = RoundedSizesText(ComputedPieceSize, c_.cselunit);
  }
}

void TSplitJob::ProposeSizes(bool enabled) {
  if (!enabled || !SourceExists()) return;
  const int64_t size = SourceSize();
  if (c_.cdecide == smFixedSize) {
    const SizeProposal proposal = ProposePieceSize(size);
    c_.tsize = proposal.sizeText;
    c_.cselunit = proposal.unit;
  } else if (c_.cdecide == smPieceCount) {
    c_.tsize = "5";
  }
  if (c_.blocked && size < 100000) c_.cnoaccount = true;
  tsizeChange();
}

void TSplitJob::firstdiskChange() {
  if (c_.firstdisk < 0) c_.firstdisk = 0;
  if (c_.resspace < 0) c_.resspace = 0;
}

void TSplitJob::htmvarAnchorClick(const std::string& variable) { c_.nomp += "{" + variable + "}"; }

void TSplitJob::bgenuniqIDClick() { c_.tuniqid = NewUniqueId(); }

void TSplitJob::categChange(int category) {
  if (category >= 0 && category < kSfuCategoryCount) SfuCategory = category;
}

void TSplitJob::bprevsfuClick() { categChange(SfuCategory - 1); }

void TSplitJob::bnextsfuClick() { categChange(SfuCategory + 1); }

void TSplitJob::DropFiles(const std::vector<std::string>& paths) {
  if (paths.empty() || !os::FileExists(paths.front())) return;
  SetText(&TJobControls::fich, paths.front());
  Page = jpOriginalFile;
}

void TSplitJob::TakePredefinedSize(const std::string& valueText) {
  SelectUnit(suBytes);
  SetText(&TJobControls::tsize, valueText);
}

void TSplitJob::RefreshDependentControls() {
  fichChange();
  destdirChange();
  bspanClick();
  categChange(0);
  copenClick();
  cwaitforendClick();
  Page = jpOriginalFile;
}

}  // namespace kvx

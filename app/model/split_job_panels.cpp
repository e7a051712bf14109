// The parts of the split job that describe files and disks, the custom piece list and the
// controls that depend on others.
#include "app/model/history_list.h"
#include "app/model/split_job.h"
#include "app/model/text_file.h"
#include "common/disk.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"
#include "sfu/shared/sfu_language.h"

namespace kvx {

namespace {

unsigned long long U(uint64_t value) { return value; }

// "42%" of the available space, when the drive could be read.
std::string FreePercent(int64_t available, int64_t total) {
  if (available < 0 || total <= 0) return "unknown";
  return std::to_string(static_cast<long long>(static_cast<double>(available) * 100 / static_cast<double>(total))) + "%";
}

std::string SpaceText(int64_t bytes) { return bytes < 0 ? "unknown" : SizeToText(3, bytes); }

// "C:\", "\\server\share\" or "/": the root of the drive a path names.
std::string DriveRoot(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
  if (path.size() >= 2 && os::IsPathSeparator(path[0]) && os::IsPathSeparator(path[1])) {
    size_t separators = 0;
    for (size_t i = 2; i < path.size(); ++i)
      if (os::IsPathSeparator(path[i]) && ++separators == 2) return path.substr(0, i + 1);
    return AddBackslash(path);
  }
  if (!path.empty() && os::IsPathSeparator(path[0])) return path.substr(0, 1);
  return std::string();
}

}  // namespace

const std::vector<std::string> kDefaultWelcomeText = {
    "Welcome to this program. It will restore the following file:",
    "",
    " {filename}",
    " {desc}",
    " Size: {size} ; {fullsize} byte(s).",
    " {piececount} piece files are required.",
    "",
    "Select where you would like to place the restored file",
    "and press Unite to continue.",
};

std::string CompanionWelcomeFile(const std::string& languageFile) {
  std::string path = languageFile;
  ReplaceAll(path, ".kxl", "DefWelcome.txt");
  return path;
}

void TSplitJob::fichChange() {
  source_ = TSourceInformation();
  if (SourceExists()) {
    const int64_t size = SourceSize();
    source_.Exists = true;
    source_.FileName = ExtractFileName(c_.fich);
    source_.SizeLine = Format("Size: %llu byte(s), %s.", U(size), SizeToText(3, size).c_str());
    if (options_.cautoaddfolder) AddToHistory(destdirItems, ExtractFileDir(c_.fich));
  }
  ProposeSizes(ProposalsEnabled);
  tsizeChange();
}

void TSplitJob::destdirChange() {
  if (os::DirectoryExists(c_.destdir)) {
    const int64_t available = DriveFreeSpace(c_.destdir);
    const int64_t total = DriveTotalSpace(c_.destdir);
    disk_.Valid = true;
    disk_.FreeSpace = "Free Space: " + FreePercent(available, total);
    disk_.AvailableSpace = "Available Space: " + SpaceText(available);
    disk_.TotalSpace = "Total Space: " + SpaceText(total);
    disk_.Removable = IsRemovableDrive(c_.destdir);
    if (ProposalsEnabled) SetFlag(&TJobControls::blocked, !disk_.Removable);
  }
  tsizeChange();
}

std::string TSplitJob::DiskPropertiesTarget() const {
  const std::string root = DriveRoot(c_.destdir);
  return !root.empty() && os::DirectoryExists(root) ? root : std::string();
}

std::string TSplitJob::FolderPropertiesTarget() const {
  const size_t cut = c_.destdir.find_last_of(os::PathSeparator() == '\\' ? "\\/:" : "/");
  const std::string folder = cut == std::string::npos ? std::string() : c_.destdir.substr(0, cut + 1);
  return !folder.empty() && os::DirectoryExists(folder) ? folder : std::string();
}

int64_t TSplitJob::RemainingBytes() const {
  int64_t used = 0;
  for (const TCustomPiece& row : c_.lvpieces) used += ParseInt64(row.Size).value_or(0);
  return SourceSize() - used;
}

void TSplitJob::UpdatePieceList() {
  if (!SourceExists()) {
    remaining_ = "Please select an original file to be split.";
    return;
  }
  const int64_t remaining = RemainingBytes();
  // Signed: rows that add up to more than the file leave a negative remainder.
  remaining_ = Format("Remaining Byte(s): %lld ; %s", static_cast<long long>(remaining),
                      SizeToText(3, remaining).c_str());
  addPieceEnabled_ = remaining > 0;
}

void TSplitJob::AppendPiece(uint64_t size) {
  c_.lvpieces.push_back({Format("Piece %llu", U(c_.lvpieces.size() + 1)), std::to_string(size)});
  UpdatePieceList();
}

void TSplitJob::Addpiecewithspecifiedsize1Click() {
  if (!SourceExists()) return;
  const int64_t size = SourceSize();
  const int64_t remaining = RemainingBytes();
  const int64_t proposal = remaining < size / 5 ? remaining : size / 5;
  const auto answer = dialogs_.AskText(
      {"New Piece", "Please enter the size of this piece (in bytes):", std::to_string(proposal)});
  if (!answer) return;
  const int64_t value = ParseInt64(*answer).value_or(0);
  if (value <= 0) {
    dialogs_.ShowError(kApplicationTitle, Format("%lld is an invalid size for a piece file.", static_cast<long long>(value)));
    return;
  }
  if (value > remaining) {
    dialogs_.ShowError(kApplicationTitle,
                       Format("%lld is higher than the amount of remaining bytes: %lld. Cannot add this piece.",
                              static_cast<long long>(value), static_cast<long long>(remaining)));
    return;
  }
  AppendPiece(static_cast<uint64_t>(value));
}

void TSplitJob::Remainingamount1Click() {
  if (!SourceExists()) return;
  const int64_t remaining = RemainingBytes();
  if (remaining > 0) AppendPiece(static_cast<uint64_t>(remaining));
}

void TSplitJob::bdelpieClick() {
  if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(c_.lvpieces.size())) return;
  TQuestion question;
  question.Text = "Are you sure you want to remove \"" + c_.lvpieces[selectedRow_].Caption + "\"?";
  question.Caption = "Confirmation";
  question.Icon = diQuestion;
  if (!dialogs_.AskYesNo(question)) return;
  c_.lvpieces.erase(c_.lvpieces.begin() + selectedRow_);
  selectedRow_ = -1;
  UpdatePieceList();
}

void TSplitJob::lvpiecesSelectItem(int row) {
  selectedRow_ = row >= 0 && row < static_cast<int>(c_.lvpieces.size()) ? row : -1;
  UpdatePieceList();
}

void TSplitJob::cnoheaderClick() {
  if (c_.cnoheader) {
    rememberedSfu_ = c_.csfufonc;
    c_.csfufonc = false;
  } else {
    c_.csfufonc = rememberedSfu_;
  }
  // The average piece size counts the records and the SFU program.
  tsizeChange();
}

void TSplitJob::cmergeClick() {
  if (!cnoaccountEnabled()) c_.cnoaccount = false;
}

void TSplitJob::copenClick() {
  if (!c_.copen) SetFlag(&TJobControls::cwaitforend, false);
}

void TSplitJob::cwaitforendClick() {
  if (!c_.cwaitforend) c_.cdelete = false;
}

void TSplitJob::tlangChange() {
  if (welcomeEdited_ || !os::FileExists(c_.tlang)) return;
  const std::string companion = CompanionWelcomeFile(c_.tlang);
  if (!os::FileExists(companion)) return;
  try {
    c_.memwelc = SplitAnsiLines(ReadWholeFile(companion));
  } catch (const std::exception&) {
    // A companion that cannot be read leaves the welcome text as it is.
  }
}

}  // namespace kvx

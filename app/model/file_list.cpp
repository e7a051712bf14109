#include "app/model/file_list.h"

#include "common/os/os.h"
#include "common/paths.h"

namespace kvx {

void TFileList::Add(const std::string& path, const std::string& destinationFolder) {
  const std::string folder = destinationFolder.empty() ? std::string() : AddBackslash(destinationFolder);
  rows_.push_back({path, AddBackslash(folder + "My Split Files") + FileNameWithoutExt(path)});
}

void TFileList::RemoveSelected() {
  if (selected_ < 0 || selected_ >= static_cast<int>(rows_.size())) return;
  TQuestion question;
  question.Text = "Are you sure you want to remove this file from the list?\r\n" + rows_[selected_].Path;
  question.Caption = "Question";
  question.NoIsDefault = true;
  if (!dialogs_.AskYesNo(question)) return;
  rows_.erase(rows_.begin() + selected_);
  selected_ = -1;
}

void TFileList::Clear() {
  if (rows_.empty()) return;
  TQuestion question;
  question.Text = "Are you sure you want to clear the full list?";
  question.Caption = "Question";
  question.NoIsDefault = true;
  if (!dialogs_.AskYesNo(question)) return;
  rows_.clear();
  selected_ = -1;
}

void TFileList::Select(int row) { selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1; }

std::string TFileList::PickerStart(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return std::string();
  return os::DirectoryExists(rows_[row].Destination) ? rows_[row].Destination : std::string();
}

void TFileList::SetDestination(int row, const std::string& folder) {
  if (row >= 0 && row < static_cast<int>(rows_.size()) && !folder.empty()) rows_[row].Destination = folder;
}

}  // namespace kvx

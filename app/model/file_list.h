#pragma once
// The list of files that one run splits one after another (the window "Split multiple files"):
// each row a file and the folder its pieces go to. One list lives as long as the program.
#include <string>
#include <vector>

#include "app/model/user_dialogs.h"

namespace kvx {

struct TFileListRow {
  std::string Path;
  std::string Destination;
};

class TFileList {
 public:
  explicit TFileList(IUserDialogs& dialogs) : dialogs_(dialogs) {}

  // Appends a row for path (existing or not); its destination is destinationFolder with a
  // trailing separator when not empty, then "My Split Files", then the file's name without its
  // extension as piece names form it (C:\Data\photo.jpeg gives ...\My Split Files\photog).
  void Add(const std::string& path, const std::string& destinationFolder);
  // "&Remove": asks about the selected row; any answer but No removes it.
  void RemoveSelected();
  // "&Clear": asks when the list holds rows; any answer but No removes them all.
  void Clear();
  // Selects a row (-1: none); "&Remove" is enabled exactly while one is selected.
  void Select(int row);
  int Selected() const { return selected_; }
  bool RemoveEnabled() const { return selected_ >= 0; }
  // The double-click folder picker: where it starts (the row's folder when that exists, else
  // no preset folder), and the folder chosen.
  std::string PickerStart(int row) const;
  void SetDestination(int row, const std::string& folder);

  const std::vector<TFileListRow>& Rows() const { return rows_; }
  bool Empty() const { return rows_.empty(); }

 private:
  IUserDialogs& dialogs_;
  std::vector<TFileListRow> rows_;
  int selected_ = -1;
};

}  // namespace kvx

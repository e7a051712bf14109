#pragma once
// The preferences file "Karvex\karvexpref.xml" in the user's application-data folder: a settings
// document with the root "KarvexPreferences". The main window keeps its section "fsplit"; the
// environment options keep "EnvironOptions".
#include <cstdint>
#include <string>
#include <vector>

#include "app/model/environment_options.h"
#include "app/model/settings_document.h"

namespace kvx {

// The window placement as the window stores it; the model only carries it.
struct TWindowPlacement {
  bool Stored = false;
  int64_t Flags = 0;
  int64_t PixelsPerInch = 96;
  std::string MinMaxPos;  // "%d,%d,%d,%d"
  std::string NormPos;    // "%d,%d,%d,%d"
};

// The keys of the section "fsplit".
struct TMainWindowSettings {
  TWindowPlacement Placement;
  std::vector<std::string> fichItems;
  std::vector<std::string> destdirItems;
  std::string fichText;
  std::vector<std::string> cprofilesItems;
  bool FirstRun = true;
};

class TPreferences {
 public:
  // The file under appDataFolder.
  explicit TPreferences(const std::string& appDataFolder);

  const std::string& Path() const { return path_; }

  // Reads the file; a missing file or one that cannot be read gives the built-in defaults.
  // Returns the reader's message for a file that exists but could not be read, else empty.
  std::string Load();

  // Reads the section "fsplit" into settings: only when its "FormVersion" is at least 1, and a
  // missing key keeps the value settings has.
  void ReadMainWindow(TMainWindowSettings& settings) const;
  void ReadOptions(TEnvironmentOptions& options) const;

  // Each write reaches the file at once; its folder is created when missing. A file that
  // existed but could not be read is first kept beside it as "karvexpref.xml.bak". Raises the
  // OS error.
  void WriteMainWindow(const TMainWindowSettings& settings);
  void WriteOptions(const TEnvironmentOptions& options);

  const TSettingsDocument& Document() const { return document_; }

 private:
  void Save();

  std::string path_;
  TSettingsDocument document_;
  bool unreadable_ = false;
};

}  // namespace kvx

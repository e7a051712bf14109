#include "app/model/preferences.h"

#include "common/errors.h"
#include "common/os/os.h"
#include "common/paths.h"

namespace kvx {

TPreferences::TPreferences(const std::string& appDataFolder)
    : path_(AddBackslash(AddBackslash(appDataFolder) + "Karvex") + "karvexpref.xml"), document_("KarvexPreferences") {}

std::string TPreferences::Load() {
  if (!os::FileExists(path_)) return std::string();
  try {
    document_.Open(path_);
    return std::string();
  } catch (const EKarvexError& e) {
    unreadable_ = true;
    return e.what();
  }
}

void TPreferences::ReadMainWindow(TMainWindowSettings& s) const {
  int64_t version = 0;
  if (!document_.ReadInteger("fsplit\\FormVersion", version) || version < 1) return;
  TWindowPlacement& p = s.Placement;
  const bool flags = document_.ReadInteger("fsplit\\Flags", p.Flags);
  const bool ppi = document_.ReadInteger("fsplit\\PixelsPerInch", p.PixelsPerInch);
  const bool minMax = document_.ReadString("fsplit\\MinMaxPos", p.MinMaxPos);
  const bool norm = document_.ReadString("fsplit\\NormPos", p.NormPos);
  p.Stored = p.Stored || flags || ppi || minMax || norm;
  document_.ReadLines("fsplit\\fich_Items", s.fichItems);
  document_.ReadLines("fsplit\\destdir_Items", s.destdirItems);
  document_.ReadString("fsplit\\fich_Text", s.fichText);
  document_.ReadLines("fsplit\\cprofiles_Items", s.cprofilesItems);
  document_.ReadBool("fsplit\\FirstRun", s.FirstRun);
}

void TPreferences::ReadOptions(TEnvironmentOptions& options) const { ReadEnvironmentOptions(document_, options); }

void TPreferences::WriteMainWindow(const TMainWindowSettings& s) {
  document_.WriteInteger("fsplit\\FormVersion", 1);
  if (s.Placement.Stored) {
    document_.WriteInteger("fsplit\\Flags", s.Placement.Flags);
    document_.WriteInteger("fsplit\\PixelsPerInch", s.Placement.PixelsPerInch);
    document_.WriteString("fsplit\\MinMaxPos", s.Placement.MinMaxPos);
    document_.WriteString("fsplit\\NormPos", s.Placement.NormPos);
  }
  document_.WriteLines("fsplit\\fich_Items", s.fichItems);
  document_.WriteLines("fsplit\\destdir_Items", s.destdirItems);
  document_.WriteString("fsplit\\fich_Text", s.fichText);
  document_.WriteLines("fsplit\\cprofiles_Items", s.cprofilesItems);
  document_.WriteBool("fsplit\\FirstRun", s.FirstRun);
  Save();
}

void TPreferences::WriteOptions(const TEnvironmentOptions& options) {
  WriteEnvironmentOptions(document_, options);
  Save();
}

void TPreferences::Save() {
  os::ForceDirectories(ExtractFileDir(path_));
  if (unreadable_ && os::FileExists(path_)) {
    // The user may still want what the unreadable file held.
    os::MoveFileOver(path_, path_ + ".bak");
    unreadable_ = false;
  }
  document_.Save(path_);
}

}  // namespace kvx

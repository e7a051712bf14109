#include "app/model/profile.h"

#include <algorithm>
#include <cmath>

#include "app/model/job_control_table.h"
#include "common/paths.h"
#include "common/text.h"

namespace kvx {

namespace {

const char kSettings[] = "Settings\\";
// A damaged count must not fill memory with default rows.
constexpr int64_t kMostRows = 65536;

std::string Key(const TJobControl& control) { return std::string(kSettings) + control.Name + "_" + control.Property; }

std::string RowKey(size_t row, char which) { return Format("%sCustomSize%u%c", kSettings, static_cast<unsigned>(row), which); }

void StoreControl(const TJobControls& c, const TJobControl& control, TSettingsDocument& document) {
  switch (control.Kind) {
    case ckText: document.WriteString(Key(control), c.*control.Text); break;
    case ckFlag: document.WriteBool(Key(control), c.*control.Flag); break;
    case ckIndex: document.WriteInteger(Key(control), c.*control.Index); break;
    case ckNumber: document.WriteFloat(Key(control), static_cast<double>(c.*control.Number)); break;
    case ckLines: document.WriteLines(Key(control), c.memwelc); break;
    case ckPieceList: break;
  }
}

bool ValidIndex(const TJobControl& control, int64_t index) {
  return (index >= 0 && index < control.ItemCount) || (index == -1 && control.NoneAllowed);
}

void RestoreControl(const TSettingsDocument& document, const TJobControl& control, TSplitJob& job) {
  const std::string key = Key(control);
  switch (control.Kind) {
    case ckText: {
      std::string text;
      if (document.ReadString(key, text)) job.SetText(control.Text, text);
      break;
    }
    case ckFlag: {
      bool value = false;
      if (document.ReadBool(key, value)) job.SetFlag(control.Flag, value);
      break;
    }
    case ckIndex: {
      int64_t index = 0;
      if (!document.ReadInteger(key, index) || !ValidIndex(control, index)) break;
      if (control.Index == &TJobControls::cselunit) job.SelectUnit(static_cast<int>(index));
      else job.SetIndex(control.Index, static_cast<int>(index));
      break;
    }
    case ckNumber: {
      double value = 0;
      if (document.ReadFloat(key, value) && std::isfinite(value) && std::fabs(value) < 9.2e18)
        job.SetNumber(control.Number, static_cast<int64_t>(value));
      break;
    }
    case ckLines: {
      std::vector<std::string> lines;
      if (document.ReadLines(key, lines)) job.SetWelcomeText(lines);
      break;
    }
    case ckPieceList: break;
  }
}

void RestorePieces(const TSettingsDocument& document, TSplitJob& job) {
  int64_t count = 0;
  document.ReadInteger(std::string(kSettings) + "CustomSizesCount", count);
  count = std::min(count, kMostRows);
  std::vector<TCustomPiece> rows;
  for (int64_t i = 0; i < count; ++i) {
    TCustomPiece row{Format("Piece %u", static_cast<unsigned>(i + 1)), "30000"};
    document.ReadString(RowKey(static_cast<size_t>(i), 'S'), row.Caption);
    document.ReadString(RowKey(static_cast<size_t>(i), 'T'), row.Size);
    rows.push_back(row);
  }
  job.SetCustomPieces(rows);
}

}  // namespace

void StoreJob(const TSplitJob& job, TSettingsDocument& document) {
  const TJobControls& c = job.Controls();
  document.WriteInteger(std::string(kSettings) + "FormVersion", 0);
  document.WriteInteger(std::string(kSettings) + "CustomSizesCount", static_cast<int64_t>(c.lvpieces.size()));
  for (size_t i = 0; i < c.lvpieces.size(); ++i) {
    document.WriteString(RowKey(i, 'S'), c.lvpieces[i].Caption);
    document.WriteString(RowKey(i, 'T'), c.lvpieces[i].Size);
  }
  document.WriteInteger(std::string(kSettings) + "KarvexVersion", 20001);
  for (const TJobControl& control : JobControls())
    if (control.Property) StoreControl(c, control, document);
}

bool RestoreJob(const TSettingsDocument& document, TSplitJob& job) {
  int64_t version = 0;
  document.ReadInteger(std::string(kSettings) + "FormVersion", version);
  if (version < 0) return false;
  for (const TJobControl& control : JobControls())
    if (control.Property) RestoreControl(document, control, job);
  RestorePieces(document, job);
  return true;
}

std::string ProfilesFolder(const std::string& appDataFolder) {
  return AddBackslash(AddBackslash(appDataFolder) + "Karvex") + "Profiles";
}

std::string AutomaticProfilePath(const std::string& appDataFolder, const std::string& sourceFile) {
  return AddBackslash(ProfilesFolder(appDataFolder)) + ExtractFileName(sourceFile) + ".kxc";
}

}  // namespace kvx

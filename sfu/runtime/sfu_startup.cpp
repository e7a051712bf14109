#include "sfu/runtime/sfu_startup.h"

#include <exception>

#include "common/file.h"
#include "common/paths.h"
#include "common/text.h"
#include "sfu/runtime/output_name.h"

namespace kvx {

std::string WithLineBreaks(std::string text) {
  ReplaceAllExact(text, "/$", "\r\n");
  return text;
}

std::vector<std::string> FirstPieceCandidates(const std::string& programPath, const std::string& currentFolder,
                                              const std::string& firstPieceName) {
  return {AddBackslash(ExtractFileDir(programPath)) + firstPieceName, AddBackslash(currentFolder) + firstPieceName};
}

TFirstPieceTrailer::Bytes ReadStartRecord(const std::string& path) {
  TFirstPieceTrailer::Bytes record{};
  try {
    TFile file(path, cmOpenExisting, amRead, smShareReadWrite);
    const int64_t size = file.Size();
    if (size < static_cast<int64_t>(record.size())) return record;
    file.Seek(0, size - static_cast<int64_t>(record.size()));
    file.ReadExact(record.data(), static_cast<uint32_t>(record.size()));
  } catch (const std::exception&) {
    // A piece that cannot be read is treated as one without a record: the set check refuses it.
    record.fill(0);
  }
  if (!HasTrailerMagic(record.data())) record.fill(0);
  return record;
}

bool BelongsToSet(const TSfuSettings& settings, const TFirstPieceTrailer::Bytes& record) {
  if (!HasTrailerMagic(record.data())) return false;
  const TFirstPieceTrailer first = TFirstPieceTrailer::Parse(record);
  return settings.ArchiveTitle == first.SetTitle && settings.UniqueId == first.UniqueId &&
         settings.PieceCount == first.PieceCount;
}

void ApplySilentMode(TSfuSettings& settings) {
  if (!settings.Silent) return;
  settings.AutoClose = true;
  settings.AutoStart = true;
  settings.NoOverwritePrompt = true;
}

std::string ProposedOutputPath(uint16_t kind, const TRestoreFolders& folders, const std::string& recordFileName) {
  const std::string* folder = &folders.Program;
  switch (kind) {
    case dkWindowsFolder: folder = &folders.Windows; break;
    case dkSystemFolder: folder = &folders.System; break;
    case dkTempFolder: folder = &folders.Temp; break;
    case dkCurrentFolder: folder = &folders.Current; break;
    case dkCustomFolder: folder = &folders.Custom; break;
    default: break;
  }
  return RestoredFilePath(*folder, recordFileName);
}

}  // namespace kvx

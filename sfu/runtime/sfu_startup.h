#pragma once
// The rules of the SFU program's start-up that need no window: where the first piece is looked
// for, how its record is read and checked against the program's own settings, silent mode, and
// the output path the window proposes.
#include <cstdint>
#include <string>
#include <vector>

#include "common/trailers.h"
#include "sfu/shared/sfu_settings.h"

namespace kvx {

// "/$" in the user's SFU messages stands for a line break.
std::string WithLineBreaks(std::string text);

// Where a separate first piece is looked for, in order: beside the program, then in the
// current folder.
std::vector<std::string> FirstPieceCandidates(const std::string& programPath, const std::string& currentFolder,
                                              const std::string& firstPieceName);

// The first piece's record: its last 1259 bytes, or all zero when the file is shorter, cannot
// be read or the bytes do not begin with the record's magic. The file may be the running
// program itself (a merged first piece), so others may keep it open for reading.
TFirstPieceTrailer::Bytes ReadStartRecord(const std::string& path);

// True when the first piece belongs to the set this program was built for: same archive title
// and unique ID (case-sensitive, as stored) and same piece count. A zeroed record never does.
bool BelongsToSet(const TSfuSettings& settings, const TFirstPieceTrailer::Bytes& record);

// Silent mode: the unite starts by itself, asks nothing about overwriting and closes the window.
void ApplySilentMode(TSfuSettings& settings);

// The folders a restored file may be proposed in, by DestinationKind.
struct TRestoreFolders {
  std::string Windows;
  std::string System;
  std::string Temp;
  std::string Current;
  std::string Program;  // the folder of the SFU program, also for unknown kinds
  std::string Custom;
};

// The folder chosen by `kind` plus the restored file's name from the record, reduced to a
// plain name so the file stays in that folder.
std::string ProposedOutputPath(uint16_t kind, const TRestoreFolders& folders, const std::string& recordFileName);

}  // namespace kvx

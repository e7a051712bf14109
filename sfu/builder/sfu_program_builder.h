#pragma once
// The SFU program builder: turns a finished split into a self-uniting program. It completes the
// settings record, adds the record ("SFX"), the welcome text ("WEL"), the header picture
// ("BMP") and the language texts ("LNG") to a copy of the core, packs the core into the stub's
// RCDATA "ENG", stamps the stub's version strings and, when an icon file exists, its icon.
#include <cstdint>
#include <string>
#include <vector>

#include "sfu/builder/sfu_payloads.h"
#include "sfu/shared/sfu_settings.h"

namespace kvx {

struct TSfuBuildRequest {
  // Completed in place: FirstPieceName, PieceCount and UniqueId.
  TSfuSettings* Settings = nullptr;
  std::vector<std::string> WelcomeText;   // lines, placeholders not yet replaced
  std::vector<std::string> LanguageText;  // the language texts, comments removed
  std::string IconFile;                   // empty or missing: the stub's own icon stays
  std::string HeaderBitmapFile;           // empty or missing: the default picture
  bool Merged = false;                    // the program is written at the head of piece 1

  // From the splitting engine.
  std::string SourceFile;
  int64_t TotalSize = 0;
  int32_t PiecesWritten = 0;
  std::string FirstPieceName;  // PieceFileName(1)
  std::string UniqueId;
  std::string Author;
  std::string Description;
  std::string SetTitle;
};

// Builds the SFU program and returns its image. Appends "0|Working on SFU data..." and
// "0|Working on SFU resources..." to summaryLines as it goes. Every failure is raised: of the
// resource editor, the packing, reading the icon or picture file, a stub without an RCDATA
// "ENG" ("Unable to load the required RCData resource") or without a version resource
// ("Unable to load the version information resource").
std::vector<uint8_t> BuildSfuProgram(const TSfuBuildRequest& request, const TSfuPayloads& payloads,
                                     std::vector<std::string>& summaryLines);

// The welcome text as the SFU window shows it: the placeholders "{filename}", "{fullsize}",
// "{size}", "{piececount}", "{author}" and "{desc}" replaced in this order, without regard to
// case, and each line followed by CR LF, in Windows-1252.
std::string WelcomeResource(const TSfuBuildRequest& request);

}  // namespace kvx

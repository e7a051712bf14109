#pragma once
// Piece names from a mask, and the destination folder with its variables.
//
// Mask variables, matched without regard to case, replaced in this order, each over the whole
// current text: "{num}" piece number, "{orf}" original file name, "{ofw}" name without
// extension (FileNameWithoutExt), "{ore}" extension with its dot, "{oru}" zero-padded number.
// Folder variables "{orf}", "{ofw}", "{ore}" are matched with regard to case.
#include <cstdint>
#include <string>

namespace kvx {

// The file name of piece n; the result is used unchanged.
std::string ExpandPieceName(const std::string& mask, int64_t n, const std::string& sourceFile);
// The destination folder with its folder variables replaced.
std::string ExpandFolderVariables(const std::string& folder, const std::string& sourceFile);
// The SFU program's file name: the file-name part of sfuFileName when given, else the first
// piece's name with its extension changed to ".EXE".
std::string SfuProgramName(const std::string& sfuFileName, const std::string& firstPieceName);

}  // namespace kvx

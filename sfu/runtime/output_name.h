#pragma once
// The restored file's name comes from the first piece's record, which is data from outside:
// it may hold folders, "..", a drive or separators. It is reduced to a plain name so that the
// restored file always lands in the folder the user chose.
#include <string>

namespace kvx {

// The last part of the name after any "/", "\" or ":", control characters turned into "_";
// a name that is then empty, "." or ".." becomes "restored.bin", and a Windows device name
// (CON, NUL, COM1...) gets a "_" in front.
std::string SafeOutputName(const std::string& trailerFileName);
// The folder plus the safe form of the trailer's name.
std::string RestoredFilePath(const std::string& folder, const std::string& trailerFileName);

}  // namespace kvx

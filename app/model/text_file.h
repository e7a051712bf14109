#pragma once
// Whole files as bytes, for the small text files of the main program.
#include <string>

namespace kvx {

// The bytes of the file; raises the OS error.
std::string ReadWholeFile(const std::string& path);
// Writes bytes as the new content of path without ever leaving a half-written file there:
// they go to a new file in the same folder, reach the disk, and that file then takes the old
// one's place. On failure the new file is removed and the old one is untouched. Raises the
// OS error.
void ReplaceWholeFile(const std::string& path, const std::string& bytes);

}  // namespace kvx

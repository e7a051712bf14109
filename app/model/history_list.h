#pragma once
// The history lists of the main window (recent source files, destination folders, profiles).
#include <string>
#include <vector>

namespace kvx {

// Puts text at the top: an equal entry (compared without regard to case) moves there, a new
// one is inserted. Empty texts are not added. The list has no length limit.
void AddToHistory(std::vector<std::string>& list, const std::string& text);

}  // namespace kvx

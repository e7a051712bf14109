#include "sfu/runtime/output_name.h"

#include "common/paths.h"
#include "common/text.h"

namespace kvx {

namespace {
// Windows opens a device, not a file, for these names whatever their extension.
bool IsDeviceName(const std::string& name) {
  const std::string stem = UpperCaseAscii(name.substr(0, name.find('.')));
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}
}  // namespace

std::string SafeOutputName(const std::string& trailerFileName) {
  // Every system's separators, not only this one's: the name was written on another machine.
  const size_t cut = trailerFileName.find_last_of("/\\:");
  std::string name = cut == std::string::npos ? trailerFileName : trailerFileName.substr(cut + 1);
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  if (name.empty() || name == "." || name == "..") return "restored.bin";
  return IsDeviceName(name) ? "_" + name : name;
}

std::string RestoredFilePath(const std::string& folder, const std::string& trailerFileName) {
  return AddBackslash(folder) + SafeOutputName(trailerFileName);
}

}  // namespace kvx

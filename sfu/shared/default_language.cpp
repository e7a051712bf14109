// The default English language file and the Karvex side of choosing a language file.
#include <cstdint>

#include "common/file.h"
#include "common/os/os.h"
#include "common/text.h"
#include "embedded/english_kxl.h"
#include "sfu/shared/sfu_language.h"

namespace kvx {

std::string DefaultLanguageFile() {
  return std::string(reinterpret_cast<const char*>(embedded::english_kxl), embedded::english_kxl_size);
}

namespace {
std::string ReadTextFile(const std::string& path) {
  TFile file(path, cmOpenExisting, amRead, smShareRead);
  std::string text(static_cast<size_t>(file.Size()), '\0');
  if (!text.empty()) file.ReadExact(text.data(), static_cast<uint32_t>(text.size()));
  return text;
}
}  // namespace

std::vector<std::string> LoadLanguageLines(const std::string& path, std::string& summaryLine) {
  summaryLine.clear();
  std::string text;
  if (os::FileExists(path)) {
    text = ReadTextFile(path);
  } else {
    summaryLine = Format("Warning: the language file \"%s\" was not found. The default one has been used.",
                         path.c_str());
    text = DefaultLanguageFile();
  }
  std::vector<std::string> lines = SplitAnsiLines(text);
  RemoveCommentLines(lines);
  return lines;
}

}  // namespace kvx

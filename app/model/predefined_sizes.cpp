#include "app/model/predefined_sizes.h"

#include "app/model/text_file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "sfu/shared/sfu_language.h"

namespace kvx {

std::string PredefinedSizesPath(const std::string& programFolder) { return AddBackslash(programFolder) + "KDEFVAL.INF"; }

std::string PredefinedField(const std::string& line, int n) {
  size_t from = 0;
  for (int i = 1; i < n; ++i) {
    const size_t semicolon = line.find(';', from);
    if (semicolon == std::string::npos) return std::string();
    from = semicolon + 1;
  }
  const size_t end = line.find(';', from);
  return line.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

std::vector<TPredefinedSize> ParsePredefinedSizes(const std::string& ansiText) {
  std::vector<TPredefinedSize> rows;
  const std::vector<std::string> lines = SplitAnsiLines(ansiText);
  if (lines.empty() || lines[0] != "[Karvex Default Size Values]") return rows;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    rows.push_back({PredefinedField(lines[i], 1), PredefinedField(lines[i], 2), PredefinedField(lines[i], 3)});
  }
  return rows;
}

std::vector<TPredefinedSize> ReadPredefinedSizes(const std::string& programFolder) {
  const std::string path = PredefinedSizesPath(programFolder);
  if (!os::FileExists(path)) return {};
  try {
    return ParsePredefinedSizes(ReadWholeFile(path));
  } catch (const std::exception&) {
    // The dialog opens with no rows, without a message.
    return {};
  }
}

}  // namespace kvx

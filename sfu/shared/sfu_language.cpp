#include "sfu/shared/sfu_language.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/text.h"

namespace kvx {

std::vector<std::string> SplitAnsiLines(const std::string& ansiText) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < ansiText.size()) {
    size_t end = ansiText.find_first_of("\r\n", start);
    if (end == std::string::npos) end = ansiText.size();
    lines.push_back(AnsiToUtf8(ansiText.substr(start, end - start)));
    if (end < ansiText.size() && ansiText[end] == '\r' && end + 1 < ansiText.size() &&
        ansiText[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  return lines;
}

void RemoveCommentLines(std::vector<std::string>& lines) {
  lines.erase(std::remove_if(lines.begin(), lines.end(),
                             [](const std::string& line) { return !line.empty() && line[0] == '#'; }),
              lines.end());
}

std::string LanguageResource(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += Utf8ToAnsi(line) + "\r\n";
  return bytes;
}

void TSfuLanguage::Load(const void* data, size_t size) {
  texts_.clear();
  const char* p = static_cast<const char*>(data);
  std::string line;
  for (size_t i = 0; i < size; ++i) {
    if (p[i] != '\r') {
      line += p[i];
      continue;
    }
    texts_.push_back(AnsiToUtf8(line));
    line.clear();
    if (i + 1 < size && p[i + 1] == '\n') ++i;
  }
  if (!line.empty()) texts_.push_back(AnsiToUtf8(line));
}

std::string TSfuLanguage::Text(size_t index) const {
  if (index >= texts_.size()) return std::string();
  std::string text = texts_[index];
  ReplaceAllExact(text, "/$", "\r\n");
  return text;
}

}  // namespace kvx

#include "app/model/batch_reader.h"

#include <cstdlib>

#include "app/model/text_file.h"
#include "common/codepage.h"
#include "common/text.h"
#include "sfu/shared/sfu_language.h"

namespace kvx {

namespace {

// Without the blanks and control characters at either end.
std::string Trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

// "key = value" as "key=value"; a line without "=" as it stands.
std::string Entry(const std::string& line) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return line;
  return Trimmed(line.substr(0, equals)) + "=" + Trimmed(line.substr(equals + 1));
}

std::optional<int64_t> WholeNumber(const std::string& text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const std::string digits = text.substr(2);
    if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos || digits.size() > 16) return {};
    return static_cast<int64_t>(std::strtoull(digits.c_str(), nullptr, 16));
  }
  return ParseInt64(text);
}

}  // namespace

void TBatchReader::Open(const std::string& path) { Load(ReadWholeFile(path)); }

void TBatchReader::Load(const std::string& ansiText) {
  sections_.clear();
  TSection* current = nullptr;
  for (const std::string& raw : SplitAnsiLines(ansiText)) {
    const std::string line = Trimmed(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      // A section named again goes on where the first one ended.
      const std::string name = Trimmed(line.substr(1, line.size() - 2));
      current = nullptr;
      for (TSection& s : sections_)
        if (SameTextAscii(s.Name, name)) current = &s;
      if (!current) {
        sections_.push_back({name, {}});
        current = &sections_.back();
      }
    } else if (current) {
      current->Lines.push_back(Entry(line));
    }
  }
}

const TBatchReader::TSection* TBatchReader::Find(const std::string& section) const {
  for (const TSection& s : sections_)
    if (SameTextAscii(s.Name, section)) return &s;
  return nullptr;
}

std::optional<std::string> TBatchReader::Text(const std::string& section, const std::string& key) const {
  const TSection* s = Find(section);
  if (!s) return {};
  for (const std::string& line : s->Lines) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos && SameTextAscii(line.substr(0, equals), key)) return line.substr(equals + 1);
  }
  return {};
}

std::optional<int64_t> TBatchReader::Number(const std::string& section, const std::string& key) const {
  const auto text = Text(section, key);
  return text ? WholeNumber(*text) : std::nullopt;
}

std::vector<std::string> TBatchReader::Lines(const std::string& section) const {
  const TSection* s = Find(section);
  return s ? s->Lines : std::vector<std::string>();
}

}  // namespace kvx

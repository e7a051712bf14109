#include "common/text.h"

#include <cstdarg>
#include <cstdio>
#include <limits>
#include <vector>

namespace kvx {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string result;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    result.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  return result;
}

std::vector<std::string> SplitText(const std::string& text, char separator) {
  std::vector<std::string> fields;
  size_t from = 0;
  for (;;) {
    const size_t cut = text.find(separator, from);
    fields.push_back(text.substr(from, cut == std::string::npos ? std::string::npos : cut - from));
    if (cut == std::string::npos) return fields;
    from = cut + 1;
  }
}

std::string GetField(const std::string& text, int index, char separator) {
  std::string rest = text;
  for (int i = 1; i < index; ++i) {
    const size_t at = rest.find(separator);
    if (at == std::string::npos) return std::string();
    rest.erase(0, at + 1);
  }
  const size_t at = rest.find(separator);
  return at == std::string::npos ? rest : rest.substr(0, at);
}

std::string SizeToText(uint8_t steps, int64_t size) {
  static const char* const kUnits[] = {" b", " kb", " Mb", " Gb"};
  double x = static_cast<double>(size);
  int64_t whole = size;
  unsigned unit = 0;
  for (;;) {
    whole /= 1024;
    if (whole >= 1) {
      ++unit;
      x /= 1024;
    }
    if (x <= 1024 || unit >= steps) break;
  }
  if (unit > 3) unit = 3;
  return Format(unit == 0 ? "%3.0f %s" : "%3.1f %s", x, kUnits[unit]);
}

std::string PadPieceNumber(int64_t number) {
  return Format("%03lld", static_cast<long long>(number));
}

namespace {
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesAt(const std::string& text, size_t at, const std::string& token, bool ignoreCase) {
  if (at + token.size() > text.size()) return false;
  for (size_t i = 0; i < token.size(); ++i) {
    char a = text[at + i];
    char b = token[i];
    if (ignoreCase) {
      a = LowerAscii(a);
      b = LowerAscii(b);
    }
    if (a != b) return false;
  }
  return true;
}

void Replace(std::string& text, const std::string& token, const std::string& value, bool ignoreCase) {
  if (token.empty()) return;
  std::string result;
  size_t i = 0;
  while (i < text.size()) {
    if (MatchesAt(text, i, token, ignoreCase)) {
      result += value;
      i += token.size();
    } else {
      result += text[i++];
    }
  }
  text.swap(result);
}
}  // namespace

void ReplaceAll(std::string& text, const std::string& token, const std::string& value) {
  Replace(text, token, value, true);
}

void ReplaceAllExact(std::string& text, const std::string& token, const std::string& value) {
  Replace(text, token, value, false);
}

std::string UpperCaseAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool SameTextAscii(const std::string& a, const std::string& b) {
  return a.size() == b.size() && MatchesAt(a, 0, b, true);
}

std::optional<int64_t> ParseInt64(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  uint64_t value = 0;
  const uint64_t limit = negative ? uint64_t{1} << 63 : uint64_t{std::numeric_limits<int64_t>::max()};
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (limit - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

}  // namespace kvx

#include "common/byte_io.h"

#include <algorithm>

#include "common/codepage.h"

namespace kvx {

void PutShortString(uint8_t* at, size_t capacity, const std::string& text) {
  const std::string ansi = Utf8ToAnsi(text);
  const size_t length = std::min(ansi.size(), capacity);
  at[0] = static_cast<uint8_t>(length);
  std::memcpy(at + 1, ansi.data(), length);
}

std::string GetShortString(const uint8_t* at, size_t capacity) {
  const size_t length = std::min<size_t>(at[0], capacity);
  return AnsiToUtf8(std::string(reinterpret_cast<const char*>(at + 1), length));
}

}  // namespace kvx

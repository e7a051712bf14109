#include "sfu/runtime/text_args.h"

namespace kvx {

std::string FillText(const std::string& text, std::initializer_list<std::string> args) {
  std::string out;
  auto next = args.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char spec = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '%' && spec == '%') {
      out += '%';
      ++i;
    } else if (c == '%' && (spec == 's' || spec == 'u' || spec == 'd')) {
      if (next != args.end()) out += *next++;
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Decimal(uint64_t value) { return std::to_string(value); }

}  // namespace kvx

#include "cli/html_text.h"

#include "common/text.h"

namespace kvx::cli {

std::string HtmlToPlain(const std::string& html) {
  std::string out;
  for (size_t i = 0; i < html.size();) {
    if (html[i] != '<') {
      out += html[i++];
      continue;
    }
    const size_t end = html.find('>', i);
    if (end == std::string::npos) {
      out += html.substr(i);
      break;
    }
    const std::string tag = UpperCaseAscii(html.substr(i + 1, end - i - 1));
    if (tag == "BR" || tag == "HR") out += '\n';
    i = end + 1;
  }
  return out;
}

}  // namespace kvx::cli

#pragma once
// The formatted texts of the split's questions, for a terminal.
#include <string>

namespace kvx::cli {

// "<br>" and "<hr>" become line breaks, every other tag is dropped.
std::string HtmlToPlain(const std::string& html);

}  // namespace kvx::cli

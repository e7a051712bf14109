#include "app/model/user_dialogs.h"

namespace kvx {

std::string CommandErrorText(const std::string& text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') return text + ".";
  return text;
}

}  // namespace kvx

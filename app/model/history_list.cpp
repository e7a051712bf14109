#include "app/model/history_list.h"

#include <algorithm>

#include "common/text.h"

namespace kvx {

void AddToHistory(std::vector<std::string>& list, const std::string& text) {
  if (text.empty()) return;
  const auto same = std::find_if(list.begin(), list.end(), [&](const std::string& e) { return SameTextAscii(e, text); });
  if (same != list.end()) list.erase(same);
  list.insert(list.begin(), text);
}

}  // namespace kvx

#pragma once
// A scripted split view: records every row line it is given, the gauges and the questions,
// and answers each question with the next scripted answer (Cancel when none is left).
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/progress_list.h"
#include "engine/split_view.h"

namespace kvx::test {

class FakeSplitView : public ISplitView {
 public:
  void FlushRows(std::deque<std::string>& rowQueue, const std::string& statusText) override {
    rows.insert(rows.end(), rowQueue.begin(), rowQueue.end());
    list.Flush(rowQueue);
    status = statusText;
  }
  void ShowGauges(uint16_t piecePercent, uint16_t totalPercent) override {
    ++gaugeCalls;
    if (onGauges) onGauges(piecePercent, totalPercent);
  }
  TPromptAnswer ShowPrompt(const TPromptDescription& prompt) override {
    prompts.push_back(prompt);
    if (answer) return answer(prompt);
    return TPromptAnswer{};
  }

  std::vector<std::string> rows;
  TProgressList list;
  std::string status;
  int gaugeCalls = 0;
  std::vector<TPromptDescription> prompts;
  std::function<TPromptAnswer(const TPromptDescription&)> answer;
  std::function<void(uint16_t, uint16_t)> onGauges;
};

}  // namespace kvx::test

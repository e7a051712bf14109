#pragma once
// Scripted questions and message boxes: every question and error is recorded; questions take
// the next scripted answer (No when none is left), text requests the next scripted text
// (cancelled when none is left).
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/model/user_dialogs.h"

namespace kvx::test {

class FakeDialogs : public IUserDialogs {
 public:
  bool AskYesNo(const TQuestion& question) override {
    questions.push_back(question);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowError(const std::string& caption, const std::string& text) override {
    errors.push_back(caption + ": " + text);
  }
  std::optional<std::string> AskText(const TTextRequest& request) override {
    textRequests.push_back(request);
    if (texts.empty()) return std::nullopt;
    const std::string text = texts.front();
    texts.pop_front();
    return text;
  }

  std::deque<bool> answers;
  std::deque<std::string> texts;
  std::vector<TQuestion> questions;
  std::vector<TTextRequest> textRequests;
  std::vector<std::string> errors;
};

}  // namespace kvx::test

#pragma once
// The questions and message boxes of the main program. The model decides what is asked and
// what each answer does; a window, the console or a test shows them.
#include <optional>
#include <string>

namespace kvx {

enum TDialogIcon { diQuestion, diWarning, diError, diInformation };

struct TQuestion {
  std::string Text;
  std::string Caption;
  TDialogIcon Icon = diQuestion;
  bool NoIsDefault = false;
  // The answer to take when nobody can be asked (a console without a terminal): Yes where the
  // only risk is the user's own explicit choice, No where the question guards data.
  bool WhenUnattended = false;
};

struct TTextRequest {
  std::string Caption;
  std::string Prompt;
  std::string Proposal;
};

class IUserDialogs {
 public:
  virtual ~IUserDialogs() = default;
  // Yes/No question; true for Yes.
  virtual bool AskYesNo(const TQuestion& question) = 0;
  // A message box with the error icon.
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
  // A one-line text, proposal filled in; nothing when cancelled.
  virtual std::optional<std::string> AskText(const TTextRequest& request) = 0;
};

// The caption of the main program's own message boxes.
constexpr const char* kApplicationTitle = "Karvex";

// An error of a command as its box shows it: a period is added when the text ends with a
// character that sorts after ".".
std::string CommandErrorText(const std::string& text);

}  // namespace kvx

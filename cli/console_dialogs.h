#pragma once
// The main program's questions and message boxes on the terminal, for the job model's rules
// that the console shares with the main window.
#include "app/model/user_dialogs.h"

namespace kvx::cli {

class TConsoleDialogs : public IUserDialogs {
 public:
  bool AskYesNo(const TQuestion& question) override;
  void ShowError(const std::string& caption, const std::string& text) override;
  std::optional<std::string> AskText(const TTextRequest& request) override;
};

}  // namespace kvx::cli

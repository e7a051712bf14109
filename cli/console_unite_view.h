#pragma once
// The unite engine's view on a terminal. With a terminal on standard input its questions are
// asked; without one nobody can answer, so a missing or wrong piece aborts, check warnings are
// only logged, and a partly restored file is kept.
#include <string>

#include "sfu/runtime/unite_view.h"

namespace kvx::cli {

class ConsoleUniteView : public IUniteView {
 public:
  // printLog: the engine's log goes to stdout (unite); else only the per-piece lines (verify).
  explicit ConsoleUniteView(bool printLog) : printLog_(printLog) {}

  void Log(const std::string& line) override;
  void SetProgress(int) override {}
  std::string AskPiece(const std::string& title, const std::string& text, const std::string& path) override;
  TBoxResult ShowBox(const std::string& text, const std::string& caption, TBoxIcon icon,
                     TBoxButtons buttons) override;
  void PieceFinished(const TPieceReport& report) override;

 private:
  const bool printLog_;
};

}  // namespace kvx::cli

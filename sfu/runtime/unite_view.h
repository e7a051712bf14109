#pragma once
// What a unite shows a person: the SFU window on Windows, the terminal in `karvex`, a scripted
// fake in the tests. The unite engine runs on the view's own thread and calls these directly.
#include <cstdint>
#include <string>
#include <vector>

namespace kvx {

enum TBoxButtons { bbOk, bbOkCancel, bbYesNo, bbYesNoCancel, bbAbortRetryIgnore };  // Retry is the default of the last
enum TBoxIcon { biWarning, biError, biQuestion };
enum TBoxResult { brOk, brCancel, brYes, brNo, brAbort, brRetry, brIgnore };

// How one piece came out: what the checks found (the log texts of its errors), or that it was
// skipped. Path is empty for a piece that was never found.
struct TPieceReport {
  uint32_t Number = 0;
  std::string Path;
  bool Skipped = false;
  std::vector<std::string> Problems;
};

class IUniteView {
 public:
  virtual ~IUniteView() = default;
  virtual void Log(const std::string& line) = 0;
  virtual void SetProgress(int percent) = 0;
  // The path of the piece the user picked; empty when the prompt was cancelled.
  virtual std::string AskPiece(const std::string& title, const std::string& text, const std::string& path) = 0;
  virtual TBoxResult ShowBox(const std::string& text, const std::string& caption, TBoxIcon icon,
                             TBoxButtons buttons) = 0;
  // Lets a window repaint and take clicks between two steps of the unite.
  virtual void ProcessMessages() {}
  // Called after each piece has been copied and checked, or skipped.
  virtual void PieceFinished(const TPieceReport& report) {}
};

}  // namespace kvx

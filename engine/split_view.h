#pragma once
// What a split shows a person: the progress window on Windows, the terminal in `karvex`, a
// scripted fake in the tests. The worker thread calls these three and waits for them: an
// implementation whose windows live on another thread runs the work there and returns after.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kvx {

// A disk or error question of the split, as the dialog shows it. The texts are decided by the
// thread; the view only asks.
struct TPromptDescription {
  std::string Caption;
  bool ShowPath = false;                // the folder box (with its Browse button) is shown
  std::string Path;                     // the folder box's text
  std::vector<std::string> HtmlLines;   // the message, one line after another (<b>, <hr>, <br>)
  bool OkAllowed = true;                // false: only Cancel is offered
};

struct TPromptAnswer {
  bool Ok = false;     // false: Cancel
  std::string Path;    // the folder box's text when Ok
};

class ISplitView {
 public:
  virtual ~ISplitView() = default;
  // Takes every row line ("row|status|caption|text") out of rowQueue into the progress list,
  // then shows statusText as the status line.
  virtual void FlushRows(std::deque<std::string>& rowQueue, const std::string& statusText) = 0;
  virtual void ShowGauges(uint16_t piecePercent, uint16_t totalPercent) = 0;
  // Hides the progress for the time of the question, asks it modally, shows it again.
  virtual TPromptAnswer ShowPrompt(const TPromptDescription& prompt) = 0;
};

}  // namespace kvx

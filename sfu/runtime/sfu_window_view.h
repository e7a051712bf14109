#pragma once
// What the SFU window does for its Unite action beyond showing a unite: the Win32 window
// implements it, the tests fake it. Every decision stays in TUniteAction.
#include <string>

#include "sfu/runtime/unite_view.h"

namespace kvx {

class ISfuWindowView : public IUniteView {
 public:
  virtual std::string OutputPathText() = 0;
  // Before the unite: clear the text area, disable Unite, the path field, Browse and its label,
  // show the progress bar and let the label read `label`.
  virtual void LockForUnite(const std::string& label) = 0;
  // After the unite: the label reads `label` and the focus goes to the text area; the controls
  // locked before stay locked.
  virtual void ShowUniteEnded(const std::string& label) = 0;
  // After a successful unite: Cancel reads `caption` and takes the focus.
  virtual void OfferClose(const std::string& caption) = 0;
  virtual void SetWindowVisible(bool visible) = 0;
  virtual void CloseWindow() = 0;
  // Starts commandLine with a new console in `folder` and waits for its end, however long;
  // false when it could not be started.
  virtual bool RunAndWait(const std::string& commandLine, const std::string& folder, int showCommand) = 0;
  // Hands the file to the shell's "open" verb; what the shell makes of it is not reported.
  virtual void OpenWithShell(const std::string& file, const std::string& parameters, const std::string& folder,
                             int showCommand) = 0;
  // True once the user asked to stop the unite in progress (Cancel or the close box); taking
  // the request clears it.
  virtual bool TakeStopRequest() { return false; }
};

}  // namespace kvx

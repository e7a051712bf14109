#pragma once
// Sees the message boxes this thread opens, records what they say and closes them at once, so a
// test can check an error box without a person to read it: a WH_CBT hook on the thread takes over
// each box's window procedure as the box is created.
#include <string>
#include <vector>

#include "common/os/win32.h"

namespace kvx::test {

struct TMessageBox {
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  bool errorIcon = false;
};

class TMessageBoxWatch {
 public:
  TMessageBoxWatch();
  ~TMessageBoxWatch();
  TMessageBoxWatch(const TMessageBoxWatch&) = delete;
  TMessageBoxWatch& operator=(const TMessageBoxWatch&) = delete;

  const std::vector<TMessageBox>& Boxes() const { return boxes_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam);
  void Record(HWND box);

  HHOOK hook_;
  WNDPROC boxProc_ = nullptr;  // the box's own procedure
  bool closing_ = false;
  std::vector<TMessageBox> boxes_;
};

// A hidden top-level window to own the boxes, as Explorer's window would.
class TOwnerWindow {
 public:
  TOwnerWindow();
  ~TOwnerWindow();
  TOwnerWindow(const TOwnerWindow&) = delete;
  TOwnerWindow& operator=(const TOwnerWindow&) = delete;
  HWND Get() const { return window_; }

 private:
  HWND window_;
};

}  // namespace kvx::test

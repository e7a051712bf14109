#include "message_box_watch.h"

namespace kvx::test {

namespace {

thread_local TMessageBoxWatch* gWatch = nullptr;

// Ids of a message box's parts: the text is documented; the icon's differs between Windows (20)
// and Wine (0x440), so both are asked.
constexpr int kTextId = 0xFFFF;
constexpr int kIconIds[] = {0x14, 0x440};

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool ShowsErrorIcon(HWND box) {
  const auto errorIcon = reinterpret_cast<LRESULT>(LoadIcon(nullptr, IDI_ERROR));
  for (int id : kIconIds) {
    if (GetDlgItem(box, id) && SendDlgItemMessageA(box, id, STM_GETICON, 0, 0) == errorIcon) return true;
  }
  return false;
}

}  // namespace

TMessageBoxWatch::TMessageBoxWatch()
    : hook_(SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId())) {
  gWatch = this;
}

TMessageBoxWatch::~TMessageBoxWatch() {
  UnhookWindowsHookEx(hook_);
  gWatch = nullptr;
}

LRESULT CALLBACK TMessageBoxWatch::HookProc(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND && gWatch) {
    const auto window = reinterpret_cast<HWND>(wparam);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770") {
      gWatch->closing_ = false;
      gWatch->boxProc_ =
          reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProc)));
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK TMessageBoxWatch::BoxProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  // An ended box is kept from being shown: hiding a shown window costs Wine two seconds when no
  // window manager runs.
  if (message == WM_WINDOWPOSCHANGING && gWatch->closing_) {
    reinterpret_cast<WINDOWPOS*>(lparam)->flags &= ~SWP_SHOWWINDOW;
  }
  const LRESULT result = CallWindowProcA(gWatch->boxProc_, box, message, wparam, lparam);
  // By the end of its initialisation the box has its caption, text, icon and owner.
  if (message == WM_INITDIALOG) {
    gWatch->Record(box);
    gWatch->closing_ = true;
    EndDialog(box, IDOK);
  }
  return result;
}

void TMessageBoxWatch::Record(HWND box) {
  TMessageBox seen;
  seen.caption = WindowText(box);
  seen.text = WindowText(GetDlgItem(box, kTextId));
  seen.owner = GetWindow(box, GW_OWNER);
  seen.errorIcon = ShowsErrorIcon(box);
  boxes_.push_back(seen);
}

TOwnerWindow::TOwnerWindow()
    : window_(CreateWindowExA(0, "STATIC", "Karvex test owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr)) {}

TOwnerWindow::~TOwnerWindow() { DestroyWindow(window_); }

}  // namespace kvx::test

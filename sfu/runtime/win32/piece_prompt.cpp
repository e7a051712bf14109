#include "sfu/runtime/win32/piece_prompt.h"

#include "sfu/runtime/win32/sfu_controls.h"
#include "sfu/runtime/win32/ui_kit.h"

namespace kvx::rejoin {

namespace {

constexpr int kWidth = 426;  // of the whole dialog, frame included
constexpr int kHeight = 174;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

struct TPrompt {
  const TSfuLanguage* texts = nullptr;
  HWND path = nullptr;
  HBITMAP picture = nullptr;
  bool done = false;
};

SIZE TextSize(HWND window, HFONT font, const std::string& text) {
  SIZE size = {};
  const std::wstring wide = win32::Widen(text);
  HDC dc = GetDC(window);
  HGDIOBJ previous = SelectObject(dc, font);
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return size;
}

void AddControls(HWND dialog, TPrompt& prompt, HFONT font, const std::string& message, const std::string& path) {
  const TSfuLanguage& t = *prompt.texts;
  HWND picture = AddControl(dialog, L"STATIC", "", SS_BITMAP, {8, 8, 35, 41}, idPromptPicture, font);
  prompt.picture = static_cast<HBITMAP>(
      LoadImageW(CoreModule(), L"FORM2_IMAGELIST1", IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(prompt.picture));
  AddControl(dialog, L"STATIC", message, SS_LEFT | SS_NOPREFIX, {48, 8, 273, 77}, idPromptMessage, font);
  const SIZE label = TextSize(dialog, font, t.Text(16));
  AddControl(dialog, L"STATIC", t.Text(16), SS_LEFT | SS_NOPREFIX, {8, 92, label.cx, label.cy}, idPromptLabel, font);
  prompt.path = AddControl(dialog, L"EDIT", path, ES_AUTOHSCROLL | WS_TABSTOP, {8, 108, 321, 21}, idPromptPath, font,
                           WS_EX_CLIENTEDGE);
  AddControl(dialog, L"BUTTON", t.Text(17), BS_DEFPUSHBUTTON | WS_TABSTOP, {336, 8, 73, 25}, idPromptOk, font);
  AddControl(dialog, L"BUTTON", t.Text(8), BS_PUSHBUTTON | WS_TABSTOP, {336, 40, 73, 25}, idPromptCancel, font);
  AddControl(dialog, L"BUTTON", t.Text(6), BS_PUSHBUTTON | WS_TABSTOP, {336, 108, 73, 25}, idPromptBrowse, font);
}

void Browse(HWND dialog, TPrompt& prompt) {
  std::string path = GetText(prompt.path);
  if (AskFileName(dialog, fdOpen, prompt.texts->Text(3), std::string(), path)) SetText(prompt.path, path);
}

LRESULT CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* prompt = reinterpret_cast<TPrompt*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (prompt == nullptr) return DefWindowProcW(dialog, message, wparam, lparam);
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case idPromptOk: prompt->done = true; return 0;
        case idPromptCancel:
          SetText(prompt->path, "");
          prompt->done = true;
          return 0;
        case idPromptBrowse: Browse(dialog, *prompt); return 0;
      }
      break;
    case WM_CLOSE:
      SendMessageW(dialog, WM_COMMAND, idPromptCancel, 0);
      return 0;
  }
  return DefWindowProcW(dialog, message, wparam, lparam);
}

// Runs the dialog until OK or Cancel; a WM_QUIT on the way is put back for the main loop.
void RunModal(HWND dialog, const TPrompt& prompt) {
  MSG message;
  while (!prompt.done) {
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

bool RegisterPiecePrompt() { return RegisterCoreWindowClass(kPiecePromptClass, PromptProc); }

void UnregisterPiecePrompt() { UnregisterCoreWindowClass(kPiecePromptClass); }

std::string AskPiecePath(HWND owner, HICON icon, HFONT font, const TSfuLanguage& texts, const std::string& title,
                         const std::string& message, const std::string& path) {
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HWND dialog = CreateWindowExW(kExStyle, kPiecePromptClass, win32::Widen(title).c_str(), kStyle,
                                work.left + (work.right - work.left - kWidth) / 2,
                                work.top + (work.bottom - work.top - kHeight) / 2, kWidth, kHeight, owner, nullptr,
                                CoreModule(), nullptr);
  if (dialog == nullptr) return std::string();
  TPrompt prompt;
  prompt.texts = &texts;
  AddControls(dialog, prompt, font, message, path);
  SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&prompt));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  EnableWindow(owner, FALSE);
  ShowWindow(dialog, SW_SHOW);
  SetFocus(prompt.path);
  RunModal(dialog, prompt);
  const std::string answer = GetText(prompt.path);
  // The owner comes back first, so that it, not another program, becomes active.
  EnableWindow(owner, TRUE);
  SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
  DestroyWindow(dialog);
  if (prompt.picture != nullptr) DeleteObject(prompt.picture);
  return answer;
}

}  // namespace kvx::rejoin

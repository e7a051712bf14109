#include "sfu/runtime/win32/sfu_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <exception>

#include "common/codepage.h"
#include "common/errors.h"
#include "common/paths.h"
#include "sfu/runtime/sfu_startup.h"
#include "sfu/runtime/win32/piece_prompt.h"
#include "sfu/runtime/win32/sfu_controls.h"

namespace kvx::rejoin {

namespace {

constexpr int kClientWidth = 351;
constexpr int kClientHeight = 320;
constexpr int kHeaderHeight = 65;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Posted at creation: the automatic start runs from the message loop, once the window is up.
constexpr UINT kStartMessage = WM_APP + 1;

using FolderQuery = UINT(WINAPI*)(LPWSTR, UINT);

std::string SystemFolder(FolderQuery query) {
  wchar_t folder[MAX_PATH + 1] = L"";
  const UINT length = query(folder, MAX_PATH);
  return length > 0 && length <= MAX_PATH ? win32::Narrow(folder) : std::string();
}

std::string TempFolder() {
  wchar_t folder[MAX_PATH + 1] = L"";
  const DWORD length = GetTempPathW(MAX_PATH, folder);
  return length > 0 && length <= MAX_PATH ? win32::Narrow(folder) : std::string();
}

std::string CurrentFolder() {
  wchar_t folder[MAX_PATH + 1] = L"";
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  return length > 0 && length <= MAX_PATH ? win32::Narrow(folder) : std::string();
}

}  // namespace

TSfuWindow::TSfuWindow(TSfuState& state, HICON icon, HFONT font) : state_(state), icon_(icon), font_(font) {}

TSfuWindow::~TSfuWindow() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

bool TSfuWindow::RegisterWindowClass() { return RegisterCoreWindowClass(kSfuWindowClass, WindowProc); }

void TSfuWindow::UnregisterWindowClass() { UnregisterCoreWindowClass(kSfuWindowClass); }

std::string TSfuWindow::T(int index) const { return state_.Texts.Text(static_cast<size_t>(index)); }

void TSfuWindow::Create() {
  RECT frame = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  window_ = CreateWindowExW(0, kSfuWindowClass, win32::Widen(state_.Settings.WindowCaption).c_str(), kStyle,
                            work.left + (work.right - work.left - width) / 2,
                            work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr,
                            CoreModule(), this);
  if (window_ == nullptr) throw EOSError(GetLastError());
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  AddControls();
  ShowStartingState();
  PostMessageW(window_, kStartMessage, 0, 0);
}

void TSfuWindow::AddControls() {
  label_ = AddControl(window_, L"STATIC", T(4), SS_LEFT, {8, 72, 300, 15}, idRestoreLabel, font_);
  output_ = AddControl(window_, L"EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, {8, 88, 257, 23}, idOutputPath, font_,
                       WS_EX_CLIENTEDGE);
  browse_ = AddControl(window_, L"BUTTON", T(6), BS_PUSHBUTTON | WS_TABSTOP, {272, 88, 73, 25}, idBrowse, font_);
  progress_ = AddControl(window_, PROGRESS_CLASSW, "", 0, {8, 116, 337, 13}, idProgress, font_);
  ShowWindow(progress_, SW_HIDE);
  textArea_ = AddControl(window_, L"EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                         {8, 136, 337, 145}, idTextArea, font_, WS_EX_CLIENTEDGE);
  SendMessageW(textArea_, EM_SETLIMITTEXT, 0, 0);  // a log of many pieces is long
  unite_ = AddControl(window_, L"BUTTON", T(5), BS_DEFPUSHBUTTON | WS_TABSTOP, {36, 288, 73, 25}, idUnite, font_);
  cancel_ = AddControl(window_, L"BUTTON", T(8), BS_PUSHBUTTON | WS_TABSTOP, {140, 288, 73, 25}, idCancel, font_);
  AddControl(window_, L"BUTTON", T(7), BS_PUSHBUTTON | WS_TABSTOP, {244, 288, 73, 25}, idAbout, font_);
}

void TSfuWindow::ShowStartingState() {
  headerBytes_ = CoreResource(L"BMP");
  header_ = LocateDib(headerBytes_.data, headerBytes_.size);

  const TResourceBytes welcome = CoreResource(L"WEL");
  if (welcome.data != nullptr)
    SetText(textArea_, AnsiToUtf8(std::string(reinterpret_cast<const char*>(welcome.data), welcome.size)));

  TRestoreFolders folders;
  folders.Windows = SystemFolder(GetWindowsDirectoryW);
  folders.System = SystemFolder(GetSystemDirectoryW);
  folders.Temp = TempFolder();
  folders.Current = CurrentFolder();
  folders.Program = ExtractFileDir(state_.ProgramPath);
  folders.Custom = state_.Settings.CustomFolder;
  const std::string name = TFirstPieceTrailer::Parse(state_.FirstRecord).FileName;
  SetText(output_, ProposedOutputPath(state_.Settings.DestinationKind, folders, name));

  if (state_.Settings.LockDestination) {
    EnableWindow(output_, FALSE);
    EnableWindow(browse_, FALSE);
    EnableWindow(label_, FALSE);
  }
}

void TSfuWindow::Show() {
  ShowWindow(window_, SW_SHOW);
  SetFocus(unite_);
}

void TSfuWindow::RunMessageLoop() {
  MSG message;
  while (!closed_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK TSfuWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TSfuWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<TSfuWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  // No exception may leave a window procedure.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (const std::exception& e) {
    ShowNotice(window, e.what(), self->state_.Settings.WindowCaption, MB_ICONERROR);
    return 0;
  }
}

LRESULT TSfuWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam));
      return 0;
    case kStartMessage:
      if (state_.Settings.AutoStart) OnUnite();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      PaintHeader(dc);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      // The read-only text area keeps the window background colour of an editable field.
      if (reinterpret_cast<HWND>(lparam) == textArea_) {
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      closed_ = true;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void TSfuWindow::PaintHeader(HDC dc) const {
  RECT area = {0, 0, kClientWidth, kHeaderHeight};
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (!header_) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, 0, 0, kClientWidth, kHeaderHeight);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(headerBytes_.data + header_->InfoOffset);
  StretchDIBits(dc, 0, 0, header_->Width, header_->Height, 0, 0, header_->Width, header_->Height,
                headerBytes_.data + header_->BitsOffset, info, DIB_RGB_COLORS, SRCCOPY);
  RestoreDC(dc, saved);
}

void TSfuWindow::OnCommand(int id) {
  switch (id) {
    case idUnite: OnUnite(); break;
    case idCancel: OnClose(); break;
    case idBrowse: OnBrowse(); break;
    case idAbout: OnAbout(); break;
  }
}

void TSfuWindow::OnUnite() {
  if (busy_ || !IsWindowEnabled(unite_)) return;
  busy_ = true;
  RunUniteAction(state_, *this);
  busy_ = false;
  stopRequested_ = false;
  EnableWindow(cancel_, TRUE);
}

void TSfuWindow::OnBrowse() {
  std::string path = GetText(output_);
  if (AskFileName(window_, fdSave, T(3), std::string(), path)) SetText(output_, path);
}

void TSfuWindow::OnAbout() {
  ShowNotice(window_, WithLineBreaks(state_.Settings.AboutMessage), state_.Settings.WindowCaption,
             MB_ICONINFORMATION);
}

void TSfuWindow::OnClose() {
  if (busy_) {
    // The unite in progress stops at its next step; the window stays for its log.
    stopRequested_ = true;
    EnableWindow(cancel_, FALSE);
    return;
  }
  const std::string message = ClosingMessage(state_);
  if (!message.empty()) ShowNotice(GetActiveWindow(), message, state_.Settings.WindowCaption, MB_ICONINFORMATION);
  DestroyWindow(window_);
}

void TSfuWindow::Log(const std::string& line) {
  const std::wstring text = win32::Widen(line + "\r\n");
  const int end = GetWindowTextLengthW(textArea_);
  SendMessageW(textArea_, EM_SETSEL, end, end);
  SendMessageW(textArea_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(textArea_, EM_SCROLLCARET, 0, 0);
}

void TSfuWindow::SetProgress(int percent) { SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(percent), 0); }

std::string TSfuWindow::AskPiece(const std::string& title, const std::string& text, const std::string& path) {
  return AskPiecePath(window_, icon_, font_, state_.Texts, title, text, path);
}

TBoxResult TSfuWindow::ShowBox(const std::string& text, const std::string& caption, TBoxIcon icon,
                               TBoxButtons buttons) {
  return rejoin::ShowBox(window_, text, caption, icon, buttons);
}

void TSfuWindow::ProcessMessages() { ProcessPendingMessages(); }

std::string TSfuWindow::OutputPathText() { return GetText(output_); }

void TSfuWindow::LockForUnite(const std::string& label) {
  SetText(textArea_, "");
  EnableWindow(unite_, FALSE);
  ShowWindow(progress_, SW_SHOW);
  EnableWindow(output_, FALSE);
  ProcessPendingMessages();
  EnableWindow(browse_, FALSE);
  EnableWindow(label_, FALSE);
  SetText(label_, label);
}

void TSfuWindow::ShowUniteEnded(const std::string& label) {
  SetText(label_, label);
  SetFocus(textArea_);
}

void TSfuWindow::OfferClose(const std::string& caption) {
  SetText(cancel_, caption);
  SetFocus(cancel_);
}

void TSfuWindow::SetWindowVisible(bool visible) { ShowWindow(window_, visible ? SW_SHOW : SW_HIDE); }

void TSfuWindow::CloseWindow() { PostMessageW(window_, WM_CLOSE, 0, 0); }

bool TSfuWindow::RunAndWait(const std::string& commandLine, const std::string& folder, int showCommand) {
  std::wstring line = win32::Widen(commandLine);
  const std::wstring directory = win32::Widen(folder);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &process))
    return false;
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  return true;
}

void TSfuWindow::OpenWithShell(const std::string& file, const std::string& parameters, const std::string& folder,
                               int showCommand) {
  const std::wstring wideParameters = win32::Widen(parameters);
  ShellExecuteW(window_, L"open", win32::Widen(file).c_str(), wideParameters.empty() ? nullptr : wideParameters.c_str(),
                win32::Widen(folder).c_str(), showCommand);
}

bool TSfuWindow::TakeStopRequest() {
  const bool requested = stopRequested_;
  stopRequested_ = false;
  return requested;
}

}  // namespace kvx::rejoin

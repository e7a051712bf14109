#include "sfu/runtime/win32/ui_kit.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "common/paths.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace kvx::rejoin {

namespace {

constexpr int kFontHeight = 11;

int CALLBACK NoteFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FontInstalled(const wchar_t* face) {
  LOGFONTW wanted = {};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, NoteFont, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

UINT BoxFlags(TBoxIcon icon, TBoxButtons buttons) {
  static const UINT kIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONQUESTION};
  static const UINT kButtons[] = {MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL, MB_ABORTRETRYIGNORE | MB_DEFBUTTON2};
  return kIcons[icon] | kButtons[buttons];
}

TBoxResult BoxResult(int id) {
  switch (id) {
    case IDOK: return brOk;
    case IDYES: return brYes;
    case IDNO: return brNo;
    case IDABORT: return brAbort;
    case IDRETRY: return brRetry;
    case IDIGNORE: return brIgnore;
    default: return brCancel;
  }
}

// "All files (*.*)|*.*" becomes the list of zero-terminated strings the dialogs take.
std::wstring DialogFilter(const std::string& filter) {
  std::wstring list = win32::Widen(filter);
  for (wchar_t& c : list)
    if (c == L'|') c = L'\0';
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

}  // namespace

HINSTANCE CoreModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

TResourceBytes CoreResource(const wchar_t* name) {
  TResourceBytes bytes;
  HRSRC info = FindResourceW(CoreModule(), name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = info != nullptr ? LoadResource(CoreModule(), info) : nullptr;
  bytes.data = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  bytes.size = bytes.data != nullptr ? SizeofResource(CoreModule(), info) : 0;
  return bytes;
}

bool RegisterCoreWindowClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = CoreModule();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0;
}

void UnregisterCoreWindowClass(const wchar_t* name) { UnregisterClassW(name, CoreModule()); }

std::string FromAnsi(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return std::string();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length - 1));
  return win32::Narrow(wide);
}

HFONT CreateSfuFont() {
  const wchar_t* face = FontInstalled(L"MS Shell Dlg") ? L"MS Shell Dlg" : L"MS Sans Serif";
  return CreateFontW(-kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

HWND AddControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, TBounds bounds,
                int id, HFONT font, DWORD exStyle) {
  HWND control = CreateWindowExW(exStyle, windowClass, win32::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                 bounds.x, bounds.y, bounds.width, bounds.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), CoreModule(), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void SetText(HWND window, const std::string& text) { SetWindowTextW(window, win32::Widen(text).c_str()); }

std::string GetText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return win32::Narrow(text);
}

void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

TBoxResult ShowBox(HWND owner, const std::string& text, const std::string& caption, TBoxIcon icon,
                   TBoxButtons buttons) {
  return BoxResult(MessageBoxW(owner, win32::Widen(text).c_str(), win32::Widen(caption).c_str(), BoxFlags(icon, buttons)));
}

void ShowNotice(HWND owner, const std::string& text, const std::string& caption, UINT icon) {
  MessageBoxW(owner, win32::Widen(text).c_str(), win32::Widen(caption).c_str(), MB_OK | icon);
}

bool AskFileName(HWND owner, TFileDialog kind, const std::string& filter, const std::string& title,
                 std::string& path) {
  const std::wstring filters = DialogFilter(filter);
  const std::wstring folder = win32::Widen(ExtractFileDir(path));
  const std::wstring heading = win32::Widen(title);
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring name = win32::Widen(ExtractFileName(path));
  name.copy(file.data(), std::min(name.size(), file.size() - 1));

  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = heading.empty() ? nullptr : heading.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                 (kind == fdSave ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = kind == fdSave ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return false;
  path = win32::Narrow(file.data());
  return true;
}

}  // namespace kvx::rejoin

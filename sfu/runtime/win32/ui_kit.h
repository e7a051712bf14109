#pragma once
// The small window layer of the SFU core: its own resources, the font, child controls, message
// boxes, file dialogs and the processing of pending messages. Plain Win32.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/os/win32.h"
#include "sfu/runtime/unite_view.h"

namespace kvx::rejoin {

// The core library's own module, which holds the resources the builder added.
HINSTANCE CoreModule();

struct TResourceBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};
// RCDATA `name` of the core; empty when it is missing.
TResourceBytes CoreResource(const wchar_t* name);

// A window class of the core: the dialog face colour, the arrow cursor.
bool RegisterCoreWindowClass(const wchar_t* name, WNDPROC procedure);
void UnregisterCoreWindowClass(const wchar_t* name);

// A path or text handed over in the system's ANSI code page, as UTF-8.
std::string FromAnsi(const char* text);

// "MS Shell Dlg" when that font is installed, otherwise "MS Sans Serif"; 11 pixels high.
HFONT CreateSfuFont();

// Left, top, width and height in pixels of the parent's client area.
struct TBounds {
  int x;
  int y;
  int width;
  int height;
};
HWND AddControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, TBounds bounds,
                int id, HFONT font, DWORD exStyle = 0);
void SetText(HWND window, const std::string& text);
std::string GetText(HWND window);

// Removes every pending message of this thread, translating and dispatching all but WM_QUIT,
// which is dropped.
void ProcessPendingMessages();

TBoxResult ShowBox(HWND owner, const std::string& text, const std::string& caption, TBoxIcon icon,
                   TBoxButtons buttons);
// A box with only an OK button; `icon` is an MB_ICON value.
void ShowNotice(HWND owner, const std::string& text, const std::string& caption, UINT icon);

enum TFileDialog { fdSave, fdOpen };
// Asks for a file, starting in the folder of `path` with its name preselected. `filter` is in
// "description|pattern" form; an empty title keeps the system's. False when cancelled.
bool AskFileName(HWND owner, TFileDialog kind, const std::string& filter, const std::string& title,
                 std::string& path);

}  // namespace kvx::rejoin

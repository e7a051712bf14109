// Drives an SFU program as a person at the keyboard would: starts it, waits for its window,
// message boxes and piece prompt, reads their texts, types into its fields and presses its
// buttons, all through window messages. Every wait has a deadline, so a test fails instead of
// hanging; the program is ended if it is still running when the script is over.
//
//   sfu_driver [--cwd DIR] [--temp DIR] PROGRAM STEP...
//
// Steps (each prints what it reads as "key=value" lines, with line breaks written as \n and
// backslashes doubled):
//   window                  the SFU window is visible: window.caption
//   read:output|log|label|cancel      the text of that control
//   enabled:output|browse|label|unite|cancel   whether that control is enabled: 1 or 0
//   set:output=TEXT         types TEXT into the output path field
//   click:unite|cancel|about|browse
//   wait:cancel=TEXT        until the Cancel button reads TEXT
//   box                     a message box is up: box.caption, box.text
//   press:ok|cancel|yes|no|abort|retry|ignore   presses that button of the last box
//   prompt                  the piece prompt is up: prompt.caption, prompt.text, prompt.path
//   prompt:path=TEXT        types TEXT into the prompt's path field
//   prompt:ok|cancel
//   shot:window=FILE|prompt=FILE   the screen area of the SFU window or the piece prompt as
//                           a .bmp file
//   exit                    the program ends: exit, and shown=0|1 (whether its window was
//                           ever visible)
// On a failed step: "error=..." and exit status 1.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/os/win32.h"
#include "sfu/runtime/win32/sfu_controls.h"

namespace {

using namespace kvx::rejoin;
using Clock = std::chrono::steady_clock;

constexpr auto kDeadline = std::chrono::seconds(25);
constexpr int kMessageBoxText = 0xFFFF;

struct TRun {
  PROCESS_INFORMATION process = {};
  HWND lastBox = nullptr;
  bool shown = false;  // the SFU window was seen visible
};

std::string Escape(const std::wstring& text) {
  std::string out;
  for (char c : kvx::win32::Narrow(text)) {
    if (c == '\r') continue;
    if (c == '\n') out += "\\n";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out;
}

void Print(const char* key, const std::wstring& value) {
  std::printf("%s=%s\n", key, Escape(value).c_str());
  std::fflush(stdout);
}

[[noreturn]] void Fail(TRun& run, const std::string& message) {
  std::printf("error=%s\n", message.c_str());
  std::fflush(stdout);
  if (run.process.hProcess != nullptr) TerminateProcess(run.process.hProcess, 99);
  std::exit(1);
}

std::wstring TextOf(HWND window) {
  wchar_t text[65536] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
  return std::wstring(text, length);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

struct TSearch {
  DWORD processId;
  const wchar_t* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || ClassOf(window) != search->className) return TRUE;
  if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
  // The common dialogs are of the message boxes' class too; a message box has its text control.
  if (ClassOf(window) == L"#32770" && GetDlgItem(window, kMessageBoxText) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopWindow(const TRun& run, const wchar_t* className, bool visibleOnly) {
  TSearch search = {run.process.dwProcessId, className, visibleOnly, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void NoteVisibility(TRun& run) {
  if (FindTopWindow(run, kSfuWindowClass, true) != nullptr) run.shown = true;
}

// Polls until found() gives a window; fails at the deadline or when the program has ended.
template <class F>
HWND WaitFor(TRun& run, const std::string& what, F found) {
  const auto end = Clock::now() + kDeadline;
  while (Clock::now() < end) {
    NoteVisibility(run);
    if (HWND window = found()) return window;
    if (WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0) Fail(run, "ended while waiting for " + what);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  Fail(run, "timed out waiting for " + what);
}

HWND SfuWindow(TRun& run) {
  return WaitFor(run, "the SFU window", [&] { return FindTopWindow(run, kSfuWindowClass, true); });
}

HWND Control(TRun& run, HWND parent, int id) {
  HWND control = GetDlgItem(parent, id);
  if (control == nullptr) Fail(run, "no control " + std::to_string(id));
  return control;
}

int WindowControl(TRun& run, const std::string& name) {
  static const std::pair<const char*, int> kControls[] = {
      {"output", idOutputPath}, {"log", idTextArea}, {"label", idRestoreLabel}, {"cancel", idCancel},
      {"unite", idUnite},       {"about", idAbout},  {"browse", idBrowse}};
  for (const auto& [key, id] : kControls)
    if (name == key) return id;
  Fail(run, "unknown control " + name);
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void SetText(TRun& run, HWND control, const std::string& text) {
  const std::wstring wide = kvx::win32::Widen(text);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG, 5000,
                           &result))
    Fail(run, "could not type " + text);
}

// Lets the window finish painting itself and its controls before the screen is read.
void WaitForPainting(HWND window) {
  DWORD_PTR ignored = 0;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

void SaveScreenArea(TRun& run, HWND window, const std::string& path) {
  WaitForPainting(window);
  RECT area = {};
  GetWindowRect(window, &area);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD pixels = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + pixels;
  FILE* out = _wfopen(kvx::win32::Widen(path).c_str(), L"wb");
  if (out == nullptr) Fail(run, "cannot write " + path);
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
  std::fwrite(bits, 1, pixels, out);
  std::fclose(out);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

int ButtonId(TRun& run, const std::string& name) {
  static const std::pair<const char*, int> kButtons[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},
                                                          {"no", IDNO},       {"abort", IDABORT},   {"retry", IDRETRY},
                                                          {"ignore", IDIGNORE}};
  for (const auto& [key, id] : kButtons)
    if (name == key) return id;
  Fail(run, "unknown button " + name);
}

void WaitForExit(TRun& run) {
  const auto end = Clock::now() + kDeadline;
  while (WaitForSingleObject(run.process.hProcess, 25) == WAIT_TIMEOUT) {
    NoteVisibility(run);
    if (HWND box = FindTopWindow(run, L"#32770", true)) {
      Print("box.caption", TextOf(box));
      Print("box.text", TextOf(GetDlgItem(box, kMessageBoxText)));
      Fail(run, "a message box came up while waiting for the end");
    }
    if (Clock::now() >= end) Fail(run, "timed out waiting for the end");
  }
  DWORD code = 0;
  GetExitCodeProcess(run.process.hProcess, &code);
  std::printf("exit=%lu\nshown=%d\n", static_cast<unsigned long>(code), run.shown ? 1 : 0);
}

void RunStep(TRun& run, const std::string& step) {
  const size_t colon = step.find(':');
  const std::string verb = step.substr(0, colon);
  const std::string arg = colon == std::string::npos ? std::string() : step.substr(colon + 1);
  const size_t equals = arg.find('=');
  const std::string name = arg.substr(0, equals);
  const std::string value = equals == std::string::npos ? std::string() : arg.substr(equals + 1);

  if (verb == "window") {
    Print("window.caption", TextOf(SfuWindow(run)));
  } else if (verb == "read") {
    Print(("read." + name).c_str(), TextOf(Control(run, SfuWindow(run), WindowControl(run, name))));
  } else if (verb == "enabled") {
    const bool enabled = IsWindowEnabled(Control(run, SfuWindow(run), WindowControl(run, name)));
    Print(("enabled." + name).c_str(), enabled ? L"1" : L"0");
  } else if (verb == "set") {
    SetText(run, Control(run, SfuWindow(run), WindowControl(run, name)), value);
  } else if (verb == "click") {
    Press(Control(run, SfuWindow(run), WindowControl(run, name)));
  } else if (verb == "wait") {
    const std::wstring wanted = kvx::win32::Widen(value);
    WaitFor(run, step, [&]() -> HWND {
      HWND window = FindTopWindow(run, kSfuWindowClass, false);
      HWND control = window ? GetDlgItem(window, WindowControl(run, name)) : nullptr;
      return control && TextOf(control) == wanted ? control : nullptr;
    });
  } else if (verb == "box") {
    run.lastBox = WaitFor(run, "a message box", [&] { return FindTopWindow(run, L"#32770", true); });
    Print("box.caption", TextOf(run.lastBox));
    Print("box.text", TextOf(GetDlgItem(run.lastBox, kMessageBoxText)));
  } else if (verb == "press") {
    if (run.lastBox == nullptr) Fail(run, "no box to press " + arg + " on");
    HWND button = Control(run, run.lastBox, ButtonId(run, arg));
    PostMessageW(run.lastBox, WM_COMMAND, MAKEWPARAM(ButtonId(run, arg), BN_CLICKED), reinterpret_cast<LPARAM>(button));
    WaitFor(run, "the box to close", [&]() -> HWND { return IsWindow(run.lastBox) ? nullptr : GetDesktopWindow(); });
    run.lastBox = nullptr;
  } else if (verb == "prompt") {
    HWND prompt = WaitFor(run, "the piece prompt", [&] { return FindTopWindow(run, kPiecePromptClass, true); });
    if (arg.empty()) {
      Print("prompt.caption", TextOf(prompt));
      Print("prompt.text", TextOf(Control(run, prompt, idPromptMessage)));
      Print("prompt.path", TextOf(Control(run, prompt, idPromptPath)));
    } else if (name == "path") {
      SetText(run, Control(run, prompt, idPromptPath), value);
    } else {
      Press(Control(run, prompt, arg == "ok" ? idPromptOk : idPromptCancel));
    }
  } else if (verb == "shot") {
    const wchar_t* className = name == "prompt" ? kPiecePromptClass : kSfuWindowClass;
    SaveScreenArea(run, WaitFor(run, name, [&] { return FindTopWindow(run, className, true); }), value);
  } else if (verb == "exit") {
    WaitForExit(run);
  } else {
    Fail(run, "unknown step " + step);
  }
}

}  // namespace

int main(int argc, char** argv) {
  TRun run;
  int i = 1;
  std::wstring folder;
  for (; i + 1 < argc && argv[i][0] == '-' && argv[i][1] == '-'; i += 2) {
    const std::string option = argv[i];
    if (option == "--cwd") folder = kvx::win32::Widen(argv[i + 1]);
    if (option == "--temp") {
      // Inherited by the program: its "KSFU" file goes there.
      SetEnvironmentVariableW(L"TMP", kvx::win32::Widen(argv[i + 1]).c_str());
      SetEnvironmentVariableW(L"TEMP", kvx::win32::Widen(argv[i + 1]).c_str());
    }
  }
  if (i >= argc) Fail(run, "usage: sfu_driver [--cwd DIR] [--temp DIR] PROGRAM STEP...");
  std::wstring commandLine = L"\"" + kvx::win32::Widen(argv[i]) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &run.process))
    Fail(run, "cannot start " + std::string(argv[i]));
  for (++i; i < argc; ++i) RunStep(run, argv[i]);
  if (WaitForSingleObject(run.process.hProcess, 0) == WAIT_TIMEOUT) Fail(run, "still running at the end of the script");
  return 0;
}

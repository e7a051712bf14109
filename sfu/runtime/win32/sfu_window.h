#pragma once
// The SFU window: header picture, "Restore As" path with Browse, progress bar, the text area
// that holds the welcome text and later the log, and Unite, Cancel and About. It shows what
// TUniteAction and the unite engine decide.
#include <optional>
#include <string>

#include "common/os/win32.h"
#include "sfu/runtime/header_picture.h"
#include "sfu/runtime/sfu_window_view.h"
#include "sfu/runtime/unite_action.h"
#include "sfu/runtime/win32/ui_kit.h"

namespace kvx::rejoin {

class TSfuWindow : public ISfuWindowView {
 public:
  // state outlives the window; icon is the program's own (the builder may have replaced it).
  TSfuWindow(TSfuState& state, HICON icon, HFONT font);
  ~TSfuWindow() override;
  TSfuWindow(const TSfuWindow&) = delete;
  TSfuWindow& operator=(const TSfuWindow&) = delete;

  static bool RegisterWindowClass();
  static void UnregisterWindowClass();

  // Creates the window, hidden, with its picture, welcome text and proposed output path; an
  // automatic start waits for the message loop. Raises EOSError when it cannot be created.
  void Create();
  void Show();
  // Runs until the window has been closed.
  void RunMessageLoop();

  // ISfuWindowView
  void Log(const std::string& line) override;
  void SetProgress(int percent) override;
  std::string AskPiece(const std::string& title, const std::string& text, const std::string& path) override;
  TBoxResult ShowBox(const std::string& text, const std::string& caption, TBoxIcon icon,
                     TBoxButtons buttons) override;
  void ProcessMessages() override;
  std::string OutputPathText() override;
  void LockForUnite(const std::string& label) override;
  void ShowUniteEnded(const std::string& label) override;
  void OfferClose(const std::string& caption) override;
  void SetWindowVisible(bool visible) override;
  void CloseWindow() override;
  bool RunAndWait(const std::string& commandLine, const std::string& folder, int showCommand) override;
  void OpenWithShell(const std::string& file, const std::string& parameters, const std::string& folder,
                     int showCommand) override;
  bool TakeStopRequest() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void AddControls();
  void ShowStartingState();
  void OnCommand(int id);
  void OnUnite();
  void OnBrowse();
  void OnAbout();
  void OnClose();
  void PaintHeader(HDC dc) const;
  std::string T(int index) const;

  TSfuState& state_;
  HICON icon_;
  HFONT font_;
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND output_ = nullptr;
  HWND browse_ = nullptr;
  HWND progress_ = nullptr;
  HWND textArea_ = nullptr;
  HWND unite_ = nullptr;
  HWND cancel_ = nullptr;
  TResourceBytes headerBytes_;
  std::optional<TDibLayout> header_;
  bool busy_ = false;  // inside the Unite action: closing waits, a stop may be asked
  bool stopRequested_ = false;
  bool closed_ = false;
};

}  // namespace kvx::rejoin

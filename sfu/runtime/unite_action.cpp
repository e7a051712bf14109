#include "sfu/runtime/unite_action.h"

#include "common/errors.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "sfu/runtime/sfu_startup.h"
#include "sfu/runtime/text_args.h"
#include "sfu/runtime/unite_engine.h"

namespace kvx {

namespace {

// The window as the unite engine sees it: a stop the user asked for is raised as "Unite
// Aborted" at the engine's next pause, which takes the engine's abort handling. It is raised
// once only, so the abort handling itself cannot be interrupted.
class TStoppableView : public IUniteView {
 public:
  TStoppableView(ISfuWindowView& window, std::string stopMessage)
      : window_(window), stopMessage_(std::move(stopMessage)) {}

  void Log(const std::string& line) override { window_.Log(line); }
  void SetProgress(int percent) override { window_.SetProgress(percent); }
  std::string AskPiece(const std::string& title, const std::string& text, const std::string& path) override {
    return window_.AskPiece(title, text, path);
  }
  TBoxResult ShowBox(const std::string& text, const std::string& caption, TBoxIcon icon,
                     TBoxButtons buttons) override {
    return window_.ShowBox(text, caption, icon, buttons);
  }
  void ProcessMessages() override {
    window_.ProcessMessages();
    if (armed_ && window_.TakeStopRequest()) {
      armed_ = false;
      throw EKarvexError(stopMessage_);
    }
  }
  void PieceFinished(const TPieceReport& report) override { window_.PieceFinished(report); }

 private:
  ISfuWindowView& window_;
  std::string stopMessage_;
  bool armed_ = true;
};

// Creates the output's folder when it is missing; false when it still does not exist.
bool EnsureOutputFolder(const std::string& output) {
  const std::string folder = ExtractFileDir(output);
  if (folder.empty() || os::DirectoryExists(folder)) return true;
  os::ForceDirectories(folder);
  return os::DirectoryExists(folder);
}

// Opens or runs the restored file as the settings ask.
void OpenRestoredFile(const TSfuState& state, ISfuWindowView& view, const std::string& output) {
  const TSfuSettings& s = state.Settings;
  view.Log(state.Texts.Text(15));
  view.ProcessMessages();
  const std::string folder = ExtractFileDir(output);
  // In silent mode the window was never shown and stays hidden.
  const bool hideWhileRunning = s.AutoClose && !s.Silent;
  if (!s.WaitForEnd) {
    view.OpenWithShell(output, s.RunParameters, folder, s.ShowCommand);
    return;
  }
  if (hideWhileRunning) view.SetWindowVisible(false);
  const bool ran = view.RunAndWait(RunCommandLine(output, s.RunParameters), folder, s.ShowCommand);
  // A program that could not be started has not used the file: it is kept.
  if (ran && s.DeleteAfterRun) os::RemoveFile(output);
  if (hideWhileRunning) view.SetWindowVisible(true);
}

// The Unite action; true when the file was restored.
bool UniteAndFollowUp(TSfuState& state, ISfuWindowView& view) {
  const TSfuSettings& s = state.Settings;
  auto T = [&state](int index) { return state.Texts.Text(static_cast<size_t>(index)); };
  const std::string output = view.OutputPathText();
  if (output.empty()) {
    view.ShowBox(T(9), s.WindowCaption, biError, bbOk);
    return false;
  }
  if (!EnsureOutputFolder(output)) {
    view.ShowBox(T(10), s.WindowCaption, biError, bbOk);
    return false;
  }
  if (!s.NoOverwritePrompt && os::FileExists(output) &&
      view.ShowBox(FillText(T(11), {output}), s.WindowCaption, biQuestion, bbYesNo) != brYes)
    return false;

  view.LockForUnite(T(12));
  view.ProcessMessages();
  TUniteInputs inputs;
  inputs.OutputPath = output;
  inputs.FirstPiecePath = state.FirstPiecePath;
  inputs.FirstRecord = state.FirstRecord;
  inputs.MergedFirstPiece = s.MergedFirstPiece;
  inputs.ProgramFolder = ExtractFileDir(state.ProgramPath);
  TStoppableView engineView(view, T(64));
  state.LastUniteSucceeded = TUniteEngine(inputs, state.Texts, engineView).Unite();
  state.Settings.AutoStart = false;
  view.ShowUniteEnded(T(13));
  if (!state.LastUniteSucceeded) return false;

  view.OfferClose(T(14));
  if (s.OpenAfterUnite) OpenRestoredFile(state, view, output);
  if (s.AutoClose) view.CloseWindow();
  return true;
}

}  // namespace

std::string RunCommandLine(const std::string& path, const std::string& parameters) {
  const bool quote = path.find(' ') != std::string::npos && path.find('"') == std::string::npos;
  std::string line = quote ? "\"" + path + "\"" : path;
  if (!parameters.empty()) line += " " + parameters;
  return line;
}

void RunUniteAction(TSfuState& state, ISfuWindowView& view) {
  if (!UniteAndFollowUp(state, view) && state.Settings.Silent) view.SetWindowVisible(true);
}

std::string ClosingMessage(const TSfuState& state) {
  if (!state.LastUniteSucceeded || state.Settings.EndMessage.empty()) return std::string();
  return WithLineBreaks(state.Settings.EndMessage);
}

}  // namespace kvx

// KarvexSFURun, the one export of the SFU core: reads the program's settings and texts from the
// core's own resources, asks the start question, finds the first piece and checks that it
// belongs to this program's set, then runs the SFU window until it closes.
#include "common/os/win32.h"

#include <commctrl.h>

#include <cstdlib>
#include <exception>

#include "common/os/os.h"
#include "common/paths.h"
#include "sfu/runtime/sfu_startup.h"
#include "sfu/runtime/text_args.h"
#include "sfu/runtime/unite_action.h"
#include "sfu/runtime/win32/piece_prompt.h"
#include "sfu/runtime/win32/sfu_window.h"
#include "sfu/runtime/win32/ui_kit.h"

namespace kvx::rejoin {

namespace {

// Shown before the language table is loaded, so it is not one of its texts.
const char kCorruptText[] = "This Karvex Self-Updating program is corrupted; it is going to be closed.";
const char kCorruptCaption[] = "Karvex SFU";

bool LoadSettings(TSfuState& state) {
  const TResourceBytes settings = CoreResource(L"SFX");
  const TSfuSettings::Bytes record = SfuRecordFromResource(settings.data, settings.size);
  if (!HasSfuMagic(record)) return false;
  state.Settings = TSfuSettings::Parse(record);
  const TResourceBytes texts = CoreResource(L"LNG");
  state.Texts.Load(texts.data, texts.size);
  return true;
}

bool AskStartQuestion(const TSfuState& state) {
  const TSfuSettings& s = state.Settings;
  return s.StartMessage.empty() ||
         ShowBox(GetActiveWindow(), WithLineBreaks(s.StartMessage), s.WindowCaption, biQuestion, bbYesNo) == brYes;
}

std::string CurrentFolder() {
  wchar_t folder[MAX_PATH + 1] = L"";
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  return length > 0 && length <= MAX_PATH ? win32::Narrow(folder) : std::string();
}

// The first piece: the program itself when merged, else beside the program, in the current
// folder, or where the user points. Empty when there is none.
std::string FindFirstPiece(const TSfuState& state) {
  const TSfuSettings& s = state.Settings;
  if (s.MergedFirstPiece) return state.ProgramPath;
  const std::vector<std::string> candidates =
      FirstPieceCandidates(state.ProgramPath, CurrentFolder(), s.FirstPieceName);
  for (const std::string& candidate : candidates)
    if (os::FileExists(candidate)) return candidate;
  ShowBox(GetActiveWindow(), FillText(state.Texts.Text(0), {ExtractFileName(candidates.front())}), s.WindowCaption,
          biWarning, bbOk);
  std::string chosen = candidates.front();
  if (!AskFileName(GetActiveWindow(), fdOpen, state.Texts.Text(3), state.Texts.Text(1), chosen)) return std::string();
  return chosen;
}

HICON ProgramIcon(HINSTANCE program) {
  return static_cast<HICON>(LoadImageW(program, L"MAINICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

// The window classes, the font and the common controls for one run of the core.
class TWindowing {
 public:
  TWindowing() : font_(CreateSfuFont()) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    TSfuWindow::RegisterWindowClass();
    RegisterPiecePrompt();
  }
  ~TWindowing() {
    TSfuWindow::UnregisterWindowClass();
    UnregisterPiecePrompt();
    DeleteObject(font_);
  }
  TWindowing(const TWindowing&) = delete;
  TWindowing& operator=(const TWindowing&) = delete;
  HFONT Font() const { return font_; }

 private:
  HFONT font_;
};

int Run(const char* programPath, const char* commandLine, HINSTANCE program) {
  TSfuState state;
  state.ProgramPath = FromAnsi(programPath);
  state.CommandLine = FromAnsi(commandLine);
  if (!LoadSettings(state)) {
    ShowNotice(GetActiveWindow(), kCorruptText, kCorruptCaption, MB_ICONERROR);
    return 0;
  }
  if (!AskStartQuestion(state)) return 0;
  state.FirstPiecePath = FindFirstPiece(state);
  if (state.FirstPiecePath.empty() || !os::FileExists(state.FirstPiecePath)) return 0;
  state.FirstRecord = ReadStartRecord(state.FirstPiecePath);
  if (!BelongsToSet(state.Settings, state.FirstRecord)) {
    ShowBox(GetActiveWindow(), state.Texts.Text(2), state.Settings.WindowCaption, biError, bbOk);
    return 0;
  }

  TWindowing windowing;
  TSfuWindow window(state, ProgramIcon(program), windowing.Font());
  window.Create();
  ApplySilentMode(state.Settings);
  if (!state.Settings.Silent) window.Show();
  window.RunMessageLoop();
  return 1;
}

}  // namespace

}  // namespace kvx::rejoin

// Exported by name through Rejoinlib.def. No exception may leave the library.
extern "C" int WINAPI KarvexSFURun(const char* programPath, const char* commandLine, HINSTANCE program) {
  try {
    return kvx::rejoin::Run(programPath, commandLine, program);
  } catch (const std::exception& e) {
    kvx::rejoin::ShowNotice(GetActiveWindow(), e.what(), kvx::rejoin::kCorruptCaption, MB_ICONERROR);
    return 0;
  }
}

// The C++ library's default handler for an uncaught exception prints the exception's type
// name, which drags a whole name demangler into the library. The core catches every
// exception at its boundaries, so this handler only has to end the process.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

#pragma once
// The SFU program's state once it has found its first piece, and what the window's Unite
// button and closing do with it: checks of the output path, the unite, and what follows a
// successful unite (open or run the restored file, delete it after the run, close).
#include <string>

#include "common/trailers.h"
#include "sfu/runtime/sfu_window_view.h"
#include "sfu/shared/sfu_language.h"
#include "sfu/shared/sfu_settings.h"

namespace kvx {

struct TSfuState {
  std::string ProgramPath;
  std::string CommandLine;  // kept, not interpreted
  TSfuSettings Settings;
  TSfuLanguage Texts;
  std::string FirstPiecePath;
  TFirstPieceTrailer::Bytes FirstRecord{};
  bool LastUniteSucceeded = false;
};

// The command line that runs the restored file: its path, in double quotes when it holds a
// space and no double quote, then one space and the parameters when there are any.
std::string RunCommandLine(const std::string& path, const std::string& parameters);

// The Unite button. Shows its own error boxes and questions; a failure in silent mode shows
// the hidden window, so that the program does not stay invisible for ever.
void RunUniteAction(TSfuState& state, ISfuWindowView& view);

// The text to show when the window closes: the end message after a successful unite, with
// its line breaks; empty for none.
std::string ClosingMessage(const TSfuState& state);

}  // namespace kvx

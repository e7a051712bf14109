#pragma once
// The piece prompt: a modal dialog that asks where the next piece is, with a picture, the
// message, the path field, OK, Cancel and Browse.
#include <string>

#include "common/os/win32.h"
#include "sfu/shared/sfu_language.h"

namespace kvx::rejoin {

// Registers the prompt's window class; once per run of the core.
bool RegisterPiecePrompt();
void UnregisterPiecePrompt();

// Shows the prompt over `owner` (disabled meanwhile) with the program's icon and returns the
// path field's text when it closes: empty after Cancel, Escape or the close box.
std::string AskPiecePath(HWND owner, HICON icon, HFONT font, const TSfuLanguage& texts, const std::string& title,
                         const std::string& message, const std::string& path);

}  // namespace kvx::rejoin

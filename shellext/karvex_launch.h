#pragma once
// Starting Karvex on the selected file, from where its installation says it lives.
#include "shellext/error_text.h"

namespace kvx::shell {

// Reads HKLM "SOFTWARE\Karvex" "Path" and starts that program with the command line
// "\"<program>\" \"<fileName>\"", shown normally. Whether the program really starts is not
// checked. Returns false with `error` filled when the key cannot be opened or the program
// file is missing.
bool StartKarvex(const char* fileName, TErrorText& error);

}  // namespace kvx::shell

#pragma once
// The text of a failure that the library shows in its error box.
#include "shellext/shell_win32.h"

namespace kvx::shell {

struct TErrorText {
  char text[1024] = {};
};

void SetErrorText(TErrorText& error, const char* text);
// "System Error.  Code: %d.\r\n%s" with the system's text for `code`.
void SetSystemErrorText(TErrorText& error, DWORD code);

}  // namespace kvx::shell

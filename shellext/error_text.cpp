#include "shellext/error_text.h"

namespace kvx::shell {

void SetErrorText(TErrorText& error, const char* text) {
  lstrcpynA(error.text, text, sizeof error.text);
}

void SetSystemErrorText(TErrorText& error, DWORD code) {
  int length = wsprintfA(error.text, "System Error.  Code: %d.\r\n", static_cast<int>(code));
  length += FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                           error.text + length, sizeof error.text - length, nullptr);
  // The system's texts end with a line break that the box does not need.
  while (length > 0 && (error.text[length - 1] == '\r' || error.text[length - 1] == '\n')) --length;
  error.text[length] = '\0';
}

}  // namespace kvx::shell

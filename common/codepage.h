#pragma once
// Binary records and settings documents store text in Windows-1252; inside the program every
// string is UTF-8.
#include <string>

namespace kvx {

// UTF-8 to Windows-1252. Characters outside the code page become "_" (a "?" would make an
// invalid Windows file name when the text comes back as a name).
std::string Utf8ToAnsi(const std::string& utf8);
// Windows-1252 to UTF-8; the five unassigned bytes map to the control characters of the same value.
std::string AnsiToUtf8(const std::string& ansi);

}  // namespace kvx

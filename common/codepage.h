#pragma once
// Binary records and settings documents store text in Windows-1252; inside the program every
// string is UTF-8.
#include <cstdint>
#include <string>

namespace kvx {

// UTF-8 to Windows-1252. Characters outside the code page become "_" (a "?" would make an
// invalid Windows file name when the text comes back as a name).
std::string Utf8ToAnsi(const std::string& utf8);
// Appends the UTF-8 bytes of one code point (up to U+10FFFF).
void AppendUtf8(std::string& out, uint32_t codePoint);
// Windows-1252 to UTF-8; the five unassigned bytes map to the control characters of the same value.
std::string AnsiToUtf8(const std::string& ansi);

}  // namespace kvx

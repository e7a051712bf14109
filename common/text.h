#pragma once
// Text helpers shared by the engine, the SFU program and the main window.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvx {

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Every field of text split at separator, empty ones included ("" gives one empty field).
std::vector<std::string> SplitText(const std::string& text, char separator);

// The index-th field (from 1) of text split at separator; empty past the last field.
std::string GetField(const std::string& text, int index, char separator);

// "976.6  kb": the size in the largest unit (" b", " kb", " Mb", " Gb") reached within steps
// divisions by 1024, "%3.0f %s" in bytes and "%3.1f %s" above.
std::string SizeToText(uint8_t steps, int64_t size);

// 7 gives "007", 42 "042", 1234 "1234".
std::string PadPieceNumber(int64_t number);

// Replaces every occurrence of token (ASCII letters compared without case), left to right;
// text put in by a replacement is not searched again.
void ReplaceAll(std::string& text, const std::string& token, const std::string& value);
// The same with exact comparison.
void ReplaceAllExact(std::string& text, const std::string& token, const std::string& value);

std::string UpperCaseAscii(std::string text);
bool SameTextAscii(const std::string& a, const std::string& b);

// Whole decimal number (optional sign, no blanks); empty when the text is not one or overflows.
std::optional<int64_t> ParseInt64(const std::string& text);

}  // namespace kvx

#pragma once
// UTF-8 and UTF-16 (little-endian in files): resource names and version strings are UTF-16.
#include <string>

namespace kvx {

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& utf16);

}  // namespace kvx

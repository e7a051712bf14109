#pragma once
// Language texts for the unite engine: the default table, and filling placeholders. The texts come from a language file the user
// chose, so they are never used as a printf format: each "%s", "%u" or "%d" takes the next
// argument in order, "%%" is a percent sign, and anything else stays as written.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "sfu/shared/sfu_language.h"

namespace kvx {

// The default English texts, loaded as the SFU program loads its "LNG" resource (defined in
// english_texts.cpp, so that what uses only FillText does not carry them).
TSfuLanguage EnglishTexts();

std::string FillText(const std::string& text, std::initializer_list<std::string> args);
std::string Decimal(uint64_t value);

}  // namespace kvx

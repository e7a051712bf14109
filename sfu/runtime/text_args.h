#pragma once
// Filling the placeholders of a language text. The texts come from a language file the user
// chose, so they are never used as a printf format: each "%s", "%u" or "%d" takes the next
// argument in order, "%%" is a percent sign, and anything else stays as written.
#include <cstdint>
#include <initializer_list>
#include <string>

namespace kvx {

std::string FillText(const std::string& text, std::initializer_list<std::string> args);
std::string Decimal(uint64_t value);

}  // namespace kvx

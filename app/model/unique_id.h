#pragma once
#include <string>

namespace kvx {

// A fresh set identifier in the registry form of a GUID: "{8-4-4-4-12}" upper-case hex digits.
std::string NewUniqueId();

}  // namespace kvx

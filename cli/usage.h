#pragma once

namespace kvx::cli {

extern const char* const kUsage;

}  // namespace kvx::cli

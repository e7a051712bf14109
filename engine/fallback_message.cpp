#include <cstdio>
#include <utility>

#include "engine/split_engine.h"

namespace kvx {

namespace {
FallbackMessageFn& Current() {
  static FallbackMessageFn fn = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  return fn;
}
}  // namespace

void SetFallbackMessage(FallbackMessageFn fn) { Current() = std::move(fn); }

void ShowFallbackMessage(const std::string& text) { Current()(text); }

}  // namespace kvx

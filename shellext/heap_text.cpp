#include "shellext/heap_text.h"

#include "shellext/shell_win32.h"

namespace kvx::shell {

char* AllocText(size_t length) {
  return static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, length + 1));
}

void FreeText(char* text) {
  if (text) HeapFree(GetProcessHeap(), 0, text);
}

}  // namespace kvx::shell

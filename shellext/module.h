#pragma once
// What the whole library shares: its module handle and the count that says whether it may unload.
#include "shellext/shell_win32.h"

namespace kvx::shell {

// One count for live handler objects, class factory references and server locks together;
// changed only by interlocked operations, since apartments on several threads share it.
void LockModule();
void UnlockModule();

// This library's module handle, known from process attach on.
HMODULE ThisModule();

}  // namespace kvx::shell

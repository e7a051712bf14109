#include "shellext/module.h"

namespace kvx::shell {

namespace {
volatile LONG gModuleCount = 0;
HMODULE gModule = nullptr;
}  // namespace

void LockModule() { InterlockedIncrement(&gModuleCount); }
void UnlockModule() { InterlockedDecrement(&gModuleCount); }
HMODULE ThisModule() { return gModule; }

}  // namespace kvx::shell

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    kvx::shell::gModule = instance;
    // Explorer starts and ends many threads; none of them needs this library's attention.
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllCanUnloadNow() { return kvx::shell::gModuleCount == 0 ? S_OK : S_FALSE; }

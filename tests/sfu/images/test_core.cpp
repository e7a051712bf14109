// A stand-in for the SFU core: writes what it was given next to the program that called it
// ("<program>.core.txt": program path, command line, whether the instance is the program's own
// module with its icon, and the path it was itself loaded from), waits "--sleep=<ms>" if asked
// and returns the number after "--result=" in the command line, 1 without one.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/os/win32.h"

namespace {
int NumberAfter(const char* commandLine, const char* key, int fallback) {
  const char* at = std::strstr(commandLine, key);
  return at != nullptr ? std::atoi(at + std::strlen(key)) : fallback;
}
}  // namespace

extern "C" int WINAPI KarvexSFURun(const char* programPath, const char* commandLine, HINSTANCE instance) {
  char ownPath[MAX_PATH] = "";
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<const char*>(&KarvexSFURun), &self);
  GetModuleFileNameA(self, ownPath, MAX_PATH);
  char report[MAX_PATH + 16];
  std::snprintf(report, sizeof report, "%s.core.txt", programPath);
  if (FILE* f = std::fopen(report, "wb")) {
    const bool ownModule = instance == GetModuleHandleW(nullptr);
    const bool hasIcon = FindResourceW(instance, L"MAINICON", MAKEINTRESOURCEW(14)) != nullptr;
    std::fprintf(f, "%s\n%s\n%s\n%s\n", programPath, commandLine,
                 ownModule && hasIcon ? "instance=program" : "instance=other", ownPath);
    std::fclose(f);
  }
  Sleep(static_cast<DWORD>(NumberAfter(commandLine, "--sleep=", 0)));
  return NumberAfter(commandLine, "--result=", 1);
}

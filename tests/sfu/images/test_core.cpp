// A stand-in for the SFU core: writes its three arguments next to the program that called it
// ("<program>.core.txt": program path, command line, whether the instance is the program's
// own module with its icon) and returns the number after "--result=" in the command line, 1
// without one.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/os/win32.h"

extern "C" int WINAPI KarvexSFURun(const char* programPath, const char* commandLine, HINSTANCE instance) {
  char report[MAX_PATH + 16];
  std::snprintf(report, sizeof report, "%s.core.txt", programPath);
  if (FILE* f = std::fopen(report, "wb")) {
    const bool ownModule = instance == GetModuleHandleW(nullptr);
    const bool hasIcon = FindResourceW(instance, L"MAINICON", MAKEINTRESOURCEW(14)) != nullptr;
    std::fprintf(f, "%s\n%s\n%s\n", programPath, commandLine, ownModule && hasIcon ? "instance=program" : "instance=other");
    std::fclose(f);
  }
  const char* result = std::strstr(commandLine, "--result=");
  return result != nullptr ? std::atoi(result + 9) : 1;
}

// Stands in for Karvex when the shell extension starts it: writes the command line it was given
// to "<last argument>.cmdline", whole or not at all.
#include <cstdio>
#include <string>

#include "common/os/win32.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string target = std::string(argv[argc - 1]) + ".cmdline";
  const std::string partial = target + ".partial";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  if (!out) return 1;
  const bool written = std::fputs(GetCommandLineA(), out) >= 0;
  if (std::fclose(out) != 0 || !written) return 1;
  return MoveFileA(partial.c_str(), target.c_str()) ? 0 : 1;
}

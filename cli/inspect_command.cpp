#include "cli/inspect_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/model/piece_inspector.h"
#include "cli/usage_error.h"
#include "common/os/os.h"

namespace kvx::cli {

int RunInspect(int argc, char** argv) {
  if (argc != 2) throw UsageError("expected one file to inspect");
  const std::string path = argv[1];
  if (!os::FileExists(path)) {
    std::fprintf(stderr, "karvex: %s: no such file\n", path.c_str());
    return 1;
  }
  std::vector<std::string> lines;
  TRecordKind kind = rkNone;
  try {
    kind = InspectPiece(path, lines);
  } catch (const std::exception& e) {
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    std::fprintf(stderr, "karvex: %s\n", e.what());
    return 1;
  }
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  return kind == rkNone ? 1 : 0;
}

}  // namespace kvx::cli

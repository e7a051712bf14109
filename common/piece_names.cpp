#include "common/piece_names.h"

#include "common/paths.h"
#include "common/text.h"

namespace kvx {

std::string ExpandPieceName(const std::string& mask, int64_t n, const std::string& sourceFile) {
  std::string name = mask;
  ReplaceAll(name, "{num}", Format("%lld", static_cast<long long>(n)));
  ReplaceAll(name, "{orf}", ExtractFileName(sourceFile));
  ReplaceAll(name, "{ofw}", FileNameWithoutExt(sourceFile));
  ReplaceAll(name, "{ore}", ExtractFileExt(sourceFile));
  ReplaceAll(name, "{oru}", PadPieceNumber(n));
  return name;
}

std::string ExpandFolderVariables(const std::string& folder, const std::string& sourceFile) {
  std::string result = folder;
  ReplaceAllExact(result, "{orf}", ExtractFileName(sourceFile));
  ReplaceAllExact(result, "{ofw}", FileNameWithoutExt(sourceFile));
  ReplaceAllExact(result, "{ore}", ExtractFileExt(sourceFile));
  return result;
}

std::string SfuProgramName(const std::string& sfuFileName, const std::string& firstPieceName) {
  if (!sfuFileName.empty()) return ExtractFileName(sfuFileName);
  return ChangeFileExt(firstPieceName, ".EXE");
}

}  // namespace kvx

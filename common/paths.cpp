#include "common/paths.h"

#include "common/os/os.h"

namespace kvx {

namespace {
// Index just past the folder part (0 when there is none).
size_t NameStart(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (os::IsPathSeparator(c)) return i;
#ifdef _WIN32
    if (c == ':') return i;
#endif
  }
  return 0;
}
}  // namespace

std::string AddBackslash(const std::string& path) {
  if (!path.empty() && os::IsPathSeparator(path.back())) return path;
  return path + os::PathSeparator();
}

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ExtractFileDir(const std::string& path) {
  size_t end = NameStart(path);
  if (end > 0 && os::IsPathSeparator(path[end - 1]) && end > 1) --end;
  return path.substr(0, end);
}

std::string ExtractFileExt(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  const size_t start = NameStart(path);
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < start) return path + extension;
  return path.substr(0, dot) + extension;
}

std::string FileNameWithoutExt(const std::string& path) {
  std::string name = ExtractFileName(path);
  const std::string extension = ExtractFileExt(name);
  if (extension.empty()) return name;
  const size_t at = name.find(extension);
  name.erase(at, 4);
  return name;
}

}  // namespace kvx

#pragma once
// A fresh folder per test, removed with everything in it afterwards, and small file helpers.
#include <cstdint>
#include <string>
#include <vector>

namespace kvx::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path of a name inside the folder.
  std::string operator/(const std::string& name) const;

 private:
  std::string path_;
};

std::vector<uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);
// The path written with "/" in this system's separators.
std::string NativePath(std::string path);
// Deterministic pseudo-random bytes.
std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed = 1);

}  // namespace kvx::test

#pragma once
// Reads of untrusted binary data (executable images, icon files, version resources). Every
// read is checked against the end with 64-bit arithmetic, so a crafted offset or size cannot
// wrap around; a read past the end raises "<what> is truncated or damaged".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvx {

class TBoundedBytes {
 public:
  TBoundedBytes(const uint8_t* data, size_t size, std::string what)
      : data_(data), size_(size), what_(std::move(what)) {}
  TBoundedBytes(const std::vector<uint8_t>& bytes, std::string what)
      : TBoundedBytes(bytes.data(), bytes.size(), std::move(what)) {}

  size_t Size() const { return size_; }
  bool Holds(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
  // Raises unless [offset, offset + count) lies inside.
  void Require(uint64_t offset, uint64_t count) const;
  uint8_t U8(uint64_t offset) const;
  uint16_t U16(uint64_t offset) const;
  uint32_t U32(uint64_t offset) const;
  const uint8_t* At(uint64_t offset, uint64_t count) const;
  std::vector<uint8_t> Copy(uint64_t offset, uint64_t count) const;
  // Raises the error of this data with a detail: "<what> is damaged: <detail>".
  [[noreturn]] void Fail(const std::string& detail) const;

 private:
  const uint8_t* data_;
  size_t size_;
  std::string what_;
};

inline uint64_t AlignUp(uint64_t value, uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

}  // namespace kvx

#pragma once
// A growable block of bytes with a position: the SFU program and the packed core live in these.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvx {

class TMemoryStream {
 public:
  // Copies up to count bytes from the position; returns how many were copied.
  size_t Read(void* buffer, size_t count);
  // Writes at the position, growing the stream as needed.
  void Write(const void* buffer, size_t count);
  void Seek(size_t position) { position_ = position < data_.size() ? position : data_.size(); }
  size_t Position() const { return position_; }
  size_t Size() const { return data_.size(); }
  void Clear() {
    data_.clear();
    position_ = 0;
  }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::vector<uint8_t>& Bytes() { return data_; }

 private:
  std::vector<uint8_t> data_;
  size_t position_ = 0;
};

}  // namespace kvx

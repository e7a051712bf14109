#include "common/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace kvx {

size_t TMemoryStream::Read(void* buffer, size_t count) {
  const size_t n = std::min(count, data_.size() - position_);
  if (n > 0) std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return;
  if (position_ + count > data_.size()) data_.resize(position_ + count);
  std::memcpy(data_.data() + position_, buffer, count);
  position_ += count;
}

}  // namespace kvx

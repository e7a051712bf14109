#include "sfu/builder/bounded_bytes.h"

#include "common/byte_io.h"
#include "common/errors.h"

namespace kvx {

void TBoundedBytes::Require(uint64_t offset, uint64_t count) const {
  if (!Holds(offset, count)) throw EKarvexError(what_ + " is truncated or damaged");
}

uint8_t TBoundedBytes::U8(uint64_t offset) const { return *At(offset, 1); }
uint16_t TBoundedBytes::U16(uint64_t offset) const { return GetU16(At(offset, 2)); }
uint32_t TBoundedBytes::U32(uint64_t offset) const { return GetU32(At(offset, 4)); }

const uint8_t* TBoundedBytes::At(uint64_t offset, uint64_t count) const {
  Require(offset, count);
  return data_ + offset;
}

std::vector<uint8_t> TBoundedBytes::Copy(uint64_t offset, uint64_t count) const {
  const uint8_t* p = At(offset, count);
  return std::vector<uint8_t>(p, p + count);
}

void TBoundedBytes::Fail(const std::string& detail) const {
  throw EKarvexError(what_ + " is damaged: " + detail);
}

}  // namespace kvx

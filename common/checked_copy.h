#pragma once
// The data path of splitting and uniting: copy bytes from one file to another while the CRC-32
// register runs over them.
#include <cstdint>
#include <functional>

namespace kvx {

class TFile;

// Copies count bytes from source's position to target's position in blocks (65536 bytes, or
// larger ones the kernel copies) and advances crc over them. After each block, afterBlock(bytes) is called; returning false stops
// the copy there. Where the kernel copies between files, the bytes go through it while a second
// thread reads them again for the register, so the checksum costs a core rather than time;
// elsewhere each block is read, checksummed and written. Returns the bytes copied; crc is only
// meaningful when all were. Raises EOSError (38 when the source ends early).
int64_t CopyWithCrc(TFile& source, TFile& target, int64_t count, uint32_t& crc,
                    const std::function<bool(uint32_t)>& afterBlock);

}  // namespace kvx

#pragma once
// The data path of splitting and uniting: copy bytes from one file to another while the CRC-32
// register runs over them.
#include <cstdint>
#include <functional>

namespace kvx {

class TFile;

// Copies count bytes from source's position to target's position and advances crc over them.
// Each block is read and checksummed on the calling thread while a second thread writes the
// block before it. After each block is read, afterBlock(bytes) is called on the calling thread;
// returning false stops the copy there. Returns the bytes copied (written); crc is only
// meaningful when all were. Raises EOSError (38 when the source ends early), a failed write
// included.
int64_t CopyWithCrc(TFile& source, TFile& target, int64_t count, uint32_t& crc,
                    const std::function<bool(uint32_t)>& afterBlock);

}  // namespace kvx

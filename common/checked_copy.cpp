#include "common/checked_copy.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

#include "common/crc32.h"
#include "common/errors.h"
#include "common/file.h"

namespace kvx {

namespace {

constexpr uint32_t kBlockSize = 65536;
// The kernel copies larger stretches per call: fewer calls, same work.
constexpr uint32_t kKernelBlockSize = 1 << 20;

// Runs the register over a stretch of a file on its own thread, reading at offsets so that the
// copying thread keeps the file position. Joined by its destructor on every way out.
class CrcReader {
 public:
  CrcReader(const TFile& file, int64_t offset, int64_t count, uint32_t crc)
      : crc_(crc), thread_([this, &file, offset, count] { Run(file, offset, count); }) {}
  ~CrcReader() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  uint32_t Finish() {
    thread_.join();
    if (error_) std::rethrow_exception(error_);
    return crc_;
  }

 private:
  void Run(const TFile& file, int64_t offset, int64_t count) {
    try {
      std::unique_ptr<uint8_t[]> buffer(new uint8_t[kBlockSize]);
      for (int64_t done = 0; done < count && !stop_;) {
        const auto block = static_cast<uint32_t>(std::min<int64_t>(count - done, kBlockSize));
        if (os::ReadFileAt(file.Handle(), offset + done, buffer.get(), block) < block) throw EOSError(kErrorHandleEof);
        crc_ = UpdateCrcLong(buffer.get(), block, crc_);
        done += block;
      }
    } catch (...) {
      error_ = std::current_exception();
    }
  }

  uint32_t crc_;
  std::atomic<bool> stop_{false};
  std::exception_ptr error_;
  std::thread thread_;
};

int64_t CopyInKernel(TFile& source, TFile& target, int64_t count, uint32_t& crc,
                     const std::function<bool(uint32_t)>& afterBlock) {
  CrcReader reader(source, source.Position(), count, crc);
  int64_t copied = 0;
  while (copied < count) {
    const auto block = static_cast<uint32_t>(std::min<int64_t>(count - copied, kKernelBlockSize));
    source.CopyTo(target, block);
    copied += block;
    if (!afterBlock(block)) return copied;
  }
  crc = reader.Finish();
  return copied;
}

int64_t CopyThroughBuffer(TFile& source, TFile& target, int64_t count, uint32_t& crc,
                          const std::function<bool(uint32_t)>& afterBlock) {
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[kBlockSize]);
  int64_t copied = 0;
  while (copied < count) {
    const auto block = static_cast<uint32_t>(std::min<int64_t>(count - copied, kBlockSize));
    source.ReadExact(buffer.get(), block);
    target.Write(buffer.get(), block);
    crc = UpdateCrcLong(buffer.get(), block, crc);
    copied += block;
    if (!afterBlock(block)) break;
  }
  return copied;
}

}  // namespace

int64_t CopyWithCrc(TFile& source, TFile& target, int64_t count, uint32_t& crc,
                    const std::function<bool(uint32_t)>& afterBlock) {
  if (os::CopiesInKernel()) return CopyInKernel(source, target, count, crc, afterBlock);
  return CopyThroughBuffer(source, target, count, crc, afterBlock);
}

}  // namespace kvx

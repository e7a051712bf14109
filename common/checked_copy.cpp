#include "common/checked_copy.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "common/crc32.h"
#include "common/file.h"

namespace kvx {

namespace {

// Four blocks of this size stay in the processor's second-level cache, so each byte crosses
// main memory once on the way in and once on the way out, as in a plain kernel copy.
constexpr uint32_t kBlockSize = 256 << 10;
constexpr int kSlots = 4;

// Writes the blocks handed to it, in order, on its own thread: reading and checksumming one
// block overlaps with writing the one before. A write error stops it and is raised to the
// reading thread at its next call. Joined by its destructor on every way out.
class BlockWriter {
 public:
  explicit BlockWriter(TFile& target)
      : target_(target), buffers_(new uint8_t[size_t{kSlots} * kBlockSize]), thread_([this] { Run(); }) {}
  ~BlockWriter() {
    Close();
    if (thread_.joinable()) thread_.join();
  }

  // Waits for a buffer the writer has finished with.
  uint8_t* FreeBuffer() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queued_ - written_ < kSlots || error_; });
    if (error_) std::rethrow_exception(error_);
    return Slot(queued_);
  }
  // Queues the buffer FreeBuffer gave, filled with size bytes.
  void Queue(uint32_t size) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      sizes_[queued_ % kSlots] = size;
      ++queued_;
    }
    changed_.notify_all();
  }
  // Waits until every queued block is written; returns the bytes written.
  int64_t Finish() {
    Close();
    thread_.join();
    if (error_) std::rethrow_exception(error_);
    return bytesWritten_;
  }

 private:
  uint8_t* Slot(int64_t block) { return buffers_.get() + size_t(block % kSlots) * kBlockSize; }

  void Close() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closed_ = true;
    }
    changed_.notify_all();
  }

  void Run() {
    try {
      for (;;) {
        uint32_t size = 0;
        {
          std::unique_lock<std::mutex> lock(mutex_);
          changed_.wait(lock, [this] { return queued_ > written_ || closed_; });
          if (queued_ == written_) return;
          size = sizes_[written_ % kSlots];
        }
        target_.Write(Slot(written_), size);
        bytesWritten_ += size;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          ++written_;
        }
        changed_.notify_all();
      }
    } catch (...) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = std::current_exception();
      }
      changed_.notify_all();
    }
  }

  TFile& target_;
  std::unique_ptr<uint8_t[]> buffers_;
  uint32_t sizes_[kSlots] = {};
  std::mutex mutex_;
  std::condition_variable changed_;
  int64_t queued_ = 0;
  int64_t written_ = 0;
  bool closed_ = false;
  int64_t bytesWritten_ = 0;  // the writer's own; read after the join
  std::exception_ptr error_;
  std::thread thread_;  // last: starts once everything above is set up
};

}  // namespace

int64_t CopyWithCrc(TFile& source, TFile& target, int64_t count, uint32_t& crc,
                    const std::function<bool(uint32_t)>& afterBlock) {
  BlockWriter writer(target);
  for (int64_t read = 0; read < count;) {
    const auto block = static_cast<uint32_t>(std::min<int64_t>(count - read, kBlockSize));
    uint8_t* buffer = writer.FreeBuffer();
    source.ReadExact(buffer, block);
    crc = UpdateCrcLong(buffer, block, crc);
    writer.Queue(block);
    read += block;
    if (!afterBlock(block)) break;
  }
  return writer.Finish();
}

}  // namespace kvx

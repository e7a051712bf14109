#pragma once
// TFile: one open file, by 64-bit offsets, over the OS seam. Every failure is an EOSError.
#include <cstdint>
#include <string>

#include "common/os/os.h"

namespace kvx {

// The order of the members is fixed: callers and stored settings use the indexes.
enum TCreateMode { cmCreateAlways, cmCreateNew, cmOpenExisting, cmOpenAlways, cmTruncateExisting };
enum TAccessMode { amRead, amWrite, amReadWrite };
enum TShareMode { smExclusive, smShareRead, smShareWrite, smShareReadWrite };

class TFile {
 public:
  // Opens or creates the file; raises the OS error (the object then does not exist).
  TFile(const std::string& name, TCreateMode create, TAccessMode access, TShareMode share);
  ~TFile();
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;

  int64_t Position() const;
  int64_t Size() const;
  // Reads up to count bytes; fewer only at the end of the file.
  uint32_t Read(void* buffer, uint32_t count);
  // Reads exactly count bytes; a short read raises code 38 (the position has still moved).
  void ReadExact(void* buffer, uint32_t count);
  // Copies count bytes from this file's position to target's position, without passing them
  // through the program where the system can; a short copy raises code 38 (source at its end).
  void CopyTo(TFile& target, uint32_t count);
  // origin 0 from the start, 1 from the current position, 2 from the end. Reports nothing:
  // a bad position makes the next read, write or truncation fail.
  int64_t Seek(int origin, int64_t offset);
  int64_t SeekStart(uint32_t offset) { return Seek(0, offset); }
  // Ends the file at the current position (pre-sizes it when the position is past the end).
  void Truncate();
  // Writes count bytes; a short write raises code 29.
  void Write(const void* buffer, uint32_t count);

  os::FileHandle Handle() const { return handle_; }

 private:
  os::FileHandle handle_;
};

}  // namespace kvx

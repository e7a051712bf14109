#pragma once
// Failures travel as exceptions that carry the message the user reads.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kvx {

// Any failure of Karvex: the message is the whole report.
class EKarvexError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failed OS call. Reads "System Error.  Code: %d.\r\n%s" with the Win32 code and the
// system's text for it, or "A call to an OS function failed" when the code is 0.
class EOSError : public EKarvexError {
 public:
  explicit EOSError(uint32_t code);
  uint32_t Code() const { return code_; }

 private:
  uint32_t code_;
};

// Win32 error codes that Karvex raises itself or tests for.
enum Win32Error : uint32_t {
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorWriteFault = 29,
  kErrorSharingViolation = 32,
  kErrorHandleEof = 38,
  kErrorFileExists = 80,
  kErrorDiskFull = 112,
};

}  // namespace kvx

#pragma once
// Zero-terminated 8-bit texts on the process heap: the library keeps clear of the C++ runtime's
// strings, which would pull exceptions and their tables into a DLL that Explorer loads.
#include <cstddef>

namespace kvx::shell {

// Room for `length` characters and the terminating zero, all zero; nullptr when memory runs out.
char* AllocText(size_t length);
void FreeText(char* text);

// Owns one heap text and frees it once.
class THeapText {
 public:
  explicit THeapText(char* text = nullptr) : text_(text) {}
  ~THeapText() { FreeText(text_); }
  THeapText(const THeapText&) = delete;
  THeapText& operator=(const THeapText&) = delete;

  char* Get() const { return text_; }
  void Reset(char* text) {
    FreeText(text_);
    text_ = text;
  }

 private:
  char* text_;
};

}  // namespace kvx::shell

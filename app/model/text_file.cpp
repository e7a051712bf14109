#include "app/model/text_file.h"

#include <memory>

#include "common/errors.h"
#include "common/file.h"
#include "common/os/os.h"

namespace kvx {

namespace {

// A new file beside path, by the first free name path.1.tmp, path.2.tmp...
std::unique_ptr<TFile> CreateSibling(const std::string& path, std::string& name) {
  for (int i = 1;; ++i) {
    name = path + "." + std::to_string(i) + ".tmp";
    try {
      return std::make_unique<TFile>(name, cmCreateNew, amWrite, smExclusive);
    } catch (const EOSError& e) {
      if (e.Code() != kErrorFileExists || i >= 100) throw;
    }
  }
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  TFile file(path, cmOpenExisting, amRead, smShareRead);
  const int64_t size = file.Size();
  // These files are a few kilobytes; anything near this bound is not one of them.
  constexpr int64_t kLargest = 64 << 20;
  constexpr uint32_t kErrorNotEnoughMemory = 8;
  if (size > kLargest) throw EOSError(kErrorNotEnoughMemory);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (size > 0) file.ReadExact(&bytes[0], static_cast<uint32_t>(size));
  return bytes;
}

void ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  std::string temporary;
  std::unique_ptr<TFile> file = CreateSibling(path, temporary);
  try {
    if (!bytes.empty()) file->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    os::FlushFile(file->Handle());
    file.reset();
    os::MoveFileOver(temporary, path);
  } catch (...) {
    file.reset();
    os::RemoveFile(temporary);
    throw;
  }
}

}  // namespace kvx

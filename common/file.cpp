#include "common/file.h"

#include "common/errors.h"

namespace kvx {

TFile::TFile(const std::string& name, TCreateMode create, TAccessMode access, TShareMode share)
    : handle_(os::OpenFile(name, create, access, share)) {}

TFile::~TFile() { os::CloseFile(handle_); }

int64_t TFile::Position() const { return os::FilePosition(handle_); }

int64_t TFile::Size() const { return os::FileSize(handle_); }

uint32_t TFile::Read(void* buffer, uint32_t count) { return os::ReadFile(handle_, buffer, count); }

void TFile::ReadExact(void* buffer, uint32_t count) {
  if (Read(buffer, count) < count) throw EOSError(kErrorHandleEof);
}

void TFile::CopyTo(TFile& target, uint32_t count) {
  if (os::CopyFileData(handle_, target.handle_, count) < count) throw EOSError(kErrorHandleEof);
}

int64_t TFile::Seek(int origin, int64_t offset) { return os::SeekFile(handle_, origin, offset); }

void TFile::Truncate() { os::SetEndOfFile(handle_); }

void TFile::Write(const void* buffer, uint32_t count) {
  if (os::WriteFile(handle_, buffer, count) < count) throw EOSError(kErrorWriteFault);
}

}  // namespace kvx

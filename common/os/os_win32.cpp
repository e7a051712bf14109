// Win32 backend of the OS seam: the W functions with UTF-16 paths.
#include <string>
#include <vector>

#include "common/dos_date.h"
#include "common/errors.h"
#include "common/os/os.h"
#include "common/os/win32.h"

namespace kvx {
namespace win32 {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
  return utf8;
}

}  // namespace win32

namespace os {

namespace {

[[noreturn]] void RaiseLastError() { throw EOSError(GetLastError()); }

HANDLE H(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

int32_t DosDateOf(const FILETIME& utc) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return -1;
  return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

bool FileTimeOfDosDate(int32_t packed, FILETIME& utc) {
  FILETIME local;
  const auto value = static_cast<uint32_t>(packed);
  return packed != -1 && DosDateTimeToFileTime(static_cast<WORD>(value >> 16), static_cast<WORD>(value), &local) &&
         LocalFileTimeToFileTime(&local, &utc);
}

// "C:\" or "\\server\share\" for a path; the path itself when it has neither.
std::wstring DriveRoot(const std::string& path) {
  std::wstring full(MAX_PATH * 4, L'\0');
  const std::wstring wide = win32::Widen(path);
  DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  full.resize(n > 0 && n < full.size() ? n : 0);
  if (full.empty()) full = wide;
  if (full.size() >= 2 && full[1] == L':') return full.substr(0, 2) + L"\\";
  if (full.size() > 2 && full[0] == L'\\' && full[1] == L'\\') {
    size_t server = full.find(L'\\', 2);
    size_t share = server == std::wstring::npos ? server : full.find(L'\\', server + 1);
    return (share == std::wstring::npos ? full : full.substr(0, share)) + L"\\";
  }
  return full;
}

}  // namespace

char PathSeparator() { return '\\'; }
bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

FileHandle OpenFile(const std::string& path, int createMode, int accessMode, int shareMode) {
  static const DWORD kCreate[] = {CREATE_ALWAYS, CREATE_NEW, OPEN_EXISTING, OPEN_ALWAYS, TRUNCATE_EXISTING};
  static const DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  static const DWORD kShare[] = {0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  HANDLE h = CreateFileW(win32::Widen(path).c_str(), kAccess[accessMode], kShare[shareMode], nullptr,
                         kCreate[createMode], FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE || h == nullptr) RaiseLastError();
  return reinterpret_cast<FileHandle>(h);
}

void CloseFile(FileHandle file) noexcept {
  if (file != kNoFile) CloseHandle(H(file));
}

uint32_t ReadFile(FileHandle file, void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!::ReadFile(H(file), buffer, count, &done, nullptr)) RaiseLastError();
  return done;
}

uint32_t WriteFile(FileHandle file, const void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!::WriteFile(H(file), buffer, count, &done, nullptr)) RaiseLastError();
  return done;
}

uint32_t CopyFileData(FileHandle from, FileHandle to, uint32_t count) {
  std::vector<char> buffer(count);
  const uint32_t got = ReadFile(from, buffer.data(), count);
  if (WriteFile(to, buffer.data(), got) < got) throw EOSError(kErrorWriteFault);
  return got;
}

int64_t SeekFile(FileHandle file, int origin, int64_t offset) noexcept {
  static const DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  if (origin < 0 || origin > 2) return -1;
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(H(file), distance, &result, kMethod[origin])) return -1;
  return result.QuadPart;
}

int64_t FilePosition(FileHandle file) {
  LARGE_INTEGER zero, result;
  zero.QuadPart = 0;
  if (!SetFilePointerEx(H(file), zero, &result, FILE_CURRENT)) RaiseLastError();
  return result.QuadPart;
}

int64_t FileSize(FileHandle file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(H(file), &size)) RaiseLastError();
  return size.QuadPart;
}

void SetEndOfFile(FileHandle file) {
  if (!::SetEndOfFile(H(file))) RaiseLastError();
}

DosFileDates GetFileDosDates(FileHandle file) noexcept {
  DosFileDates dates;
  FILETIME created, accessed, written;
  if (!GetFileTime(H(file), &created, &accessed, &written)) return dates;
  dates.lastWrite = DosDateOf(written);
  dates.creation = DosDateOf(created);
  return dates;
}

void SetFileDosDates(FileHandle file, int32_t lastWrite, int32_t creation) {
  FILETIME written, created;
  const bool haveWritten = FileTimeOfDosDate(lastWrite, written);
  const bool haveCreated = FileTimeOfDosDate(creation, created);
  if (!SetFileTime(H(file), haveCreated ? &created : nullptr, nullptr, haveWritten ? &written : nullptr))
    RaiseLastError();
}

uint32_t FileAttributesOf(const std::string& path) noexcept {
  return GetFileAttributesW(win32::Widen(path).c_str());
}

bool SetAttributesOf(const std::string& path, uint32_t attributes) noexcept {
  return SetFileAttributesW(win32::Widen(path).c_str(), attributes) != 0;
}

bool FileExists(const std::string& path) noexcept {
  const DWORD a = GetFileAttributesW(win32::Widen(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int64_t FileSizeOf(const std::string& path) noexcept {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(win32::Widen(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool DirectoryExists(const std::string& path) noexcept {
  const DWORD a = GetFileAttributesW(win32::Widen(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path) noexcept {
  std::string p = path;
  while (p.size() > 3 && IsPathSeparator(p.back())) p.pop_back();
  if (p.empty()) return false;
  if (DirectoryExists(p)) return true;
  const size_t cut = p.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0) {
    const std::string parent = p.substr(0, cut);
    if (!(parent.size() == 2 && parent[1] == ':') && !ForceDirectories(parent)) return false;
  }
  return CreateDirectoryW(win32::Widen(p).c_str(), nullptr) || DirectoryExists(p);
}

bool RemoveFile(const std::string& path) noexcept { return DeleteFileW(win32::Widen(path).c_str()) != 0; }

void MoveFileOver(const std::string& from, const std::string& to) {
  if (!MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    RaiseLastError();
}

void FlushFile(FileHandle file) {
  if (!FlushFileBuffers(H(file))) RaiseLastError();
}

int64_t FreeBytesAvailable(const std::string& path) {
  ULARGE_INTEGER available, total, free;
  if (!GetDiskFreeSpaceExW(win32::Widen(path).c_str(), &available, &total, &free)) RaiseLastError();
  return static_cast<int64_t>(available.QuadPart);
}

int64_t DriveFreeBytes(const std::string& path) noexcept {
  ULARGE_INTEGER available, total, free;
  if (!GetDiskFreeSpaceExW(DriveRoot(path).c_str(), &available, &total, &free)) return -1;
  return static_cast<int64_t>(available.QuadPart);
}

int64_t DriveTotalBytes(const std::string& path) noexcept {
  ULARGE_INTEGER available, total, free;
  if (!GetDiskFreeSpaceExW(DriveRoot(path).c_str(), &available, &total, &free)) return -1;
  return static_cast<int64_t>(total.QuadPart);
}

bool IsRemovableDrive(const std::string& path) noexcept {
  return GetDriveTypeW(DriveRoot(path).c_str()) == DRIVE_REMOVABLE;
}

std::string SystemErrorText(uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = n && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r')) wide.pop_back();
  return win32::Narrow(wide);
}

double NowAsDateTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  DateTimeParts p;
  p.year = st.wYear;
  p.month = st.wMonth;
  p.day = st.wDay;
  p.hour = st.wHour;
  p.minute = st.wMinute;
  p.second = st.wSecond;
  p.millisecond = st.wMilliseconds;
  double value = 0;
  EncodeDateTime(p, value);
  return value;
}

}  // namespace os
}  // namespace kvx

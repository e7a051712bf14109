#pragma once
// The one seam between Karvex and the operating system: common/os/os_win32.cpp and
// common/os/os_posix.cpp implement it. Paths are UTF-8. Failures are raised as EOSError with a
// Win32 error code; the POSIX backend maps errno to the code of the same meaning, so messages
// and tests read the same on both systems.
#include <cstdint>
#include <string>

namespace kvx::os {

using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;

// The native path separator ("\" on Windows, "/" elsewhere).
char PathSeparator();
// True for every character that separates folders in a path on this system.
bool IsPathSeparator(char c);

// createMode, accessMode and shareMode are the indexes of TCreateMode, TAccessMode and
// TShareMode (common/file.h). Raises EOSError.
FileHandle OpenFile(const std::string& path, int createMode, int accessMode, int shareMode);
void CloseFile(FileHandle file) noexcept;
// Reads up to count bytes; fewer only at the end of the file. Raises EOSError.
uint32_t ReadFile(FileHandle file, void* buffer, uint32_t count);
// Writes up to count bytes and returns how many were written. Raises EOSError.
uint32_t WriteFile(FileHandle file, const void* buffer, uint32_t count);
// Copies up to count bytes from the position of one file to the position of another, moving
// both; fewer only at the end of the source. Inside the kernel where the system can (no pass
// through the program's memory), else through a buffer. Raises EOSError.
uint32_t CopyFileData(FileHandle from, FileHandle to, uint32_t count);
// origin: 0 from the start, 1 from the current position, 2 from the end. -1 on failure.
int64_t SeekFile(FileHandle file, int origin, int64_t offset) noexcept;
int64_t FilePosition(FileHandle file);  // raises EOSError
int64_t FileSize(FileHandle file);      // raises EOSError
// Ends the file at the current position; growing reserves the blocks where the file system
// can, so that a volume that cannot hold the file fails here. Raises EOSError.
void SetEndOfFile(FileHandle file);

// Last-write and creation times of an open file, local time, MS-DOS packed; -1 when unknown.
struct DosFileDates {
  int32_t lastWrite = -1;
  int32_t creation = -1;
};
DosFileDates GetFileDosDates(FileHandle file) noexcept;
// Sets the times from local MS-DOS packed values (-1 leaves that time alone). Raises EOSError.
void SetFileDosDates(FileHandle file, int32_t lastWrite, int32_t creation);
// Win32 attributes of a path; 0xFFFFFFFF when they cannot be read.
uint32_t FileAttributesOf(const std::string& path) noexcept;
bool SetAttributesOf(const std::string& path, uint32_t attributes) noexcept;

bool FileExists(const std::string& path) noexcept;
// Size of the file at path from its folder entry (so a file another program holds still has
// one); -1 when it cannot be read.
int64_t FileSizeOf(const std::string& path) noexcept;
bool DirectoryExists(const std::string& path) noexcept;
// Creates the folder and any missing parents; true when the folder exists afterwards.
bool ForceDirectories(const std::string& path) noexcept;
bool RemoveFile(const std::string& path) noexcept;
// Puts the file at from in the place of the file at to, in one step: a reader sees either the
// old file or the new one, never a mix. Both must be on the same volume. Raises EOSError.
void MoveFileOver(const std::string& from, const std::string& to);
// Makes what was written to the file reach the disk. Raises EOSError.
void FlushFile(FileHandle file);

// Bytes free for the current user on the volume holding path. Raises EOSError.
int64_t FreeBytesAvailable(const std::string& path);
// Free and total bytes of the drive that holds path (drive letter or share on Windows);
// -1 when the query fails.
int64_t DriveFreeBytes(const std::string& path) noexcept;
int64_t DriveTotalBytes(const std::string& path) noexcept;
bool IsRemovableDrive(const std::string& path) noexcept;

// The system's text for a Win32 error code, without a trailing line break.
std::string SystemErrorText(uint32_t code);

// Local date and time now, as whole days since 30 December 1899 with the time as fraction.
double NowAsDateTime();

}  // namespace kvx::os

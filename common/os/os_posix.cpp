// POSIX backend of the OS seam. Share modes are emulated with flock() on the open file
// description (exclusive = LOCK_EX, shared read or write = LOCK_SH), so two Karvex processes
// see the same sharing violations as on Windows whatever the access mode.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "common/dos_date.h"
#include "common/errors.h"
#include "common/os/os.h"
#include "common/paths.h"

namespace kvx::os {

namespace {

uint32_t Win32CodeOf(int error) {
  switch (error) {
    case 0: return 0;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES: case EPERM: case EISDIR: return kErrorAccessDenied;
    case EWOULDBLOCK: case EBUSY: case ETXTBSY: return kErrorSharingViolation;
    case EEXIST: return kErrorFileExists;
    case ENOSPC: case EDQUOT: case EFBIG: return kErrorDiskFull;
    case EROFS: return 19;          // ERROR_WRITE_PROTECT
    case EMFILE: case ENFILE: return 4;  // ERROR_TOO_MANY_OPEN_FILES
    case EBADF: return 6;           // ERROR_INVALID_HANDLE
    case ENOMEM: return 8;          // ERROR_NOT_ENOUGH_MEMORY
    case EINVAL: return 87;         // ERROR_INVALID_PARAMETER
    case ENAMETOOLONG: return 206;  // ERROR_FILENAME_EXCED_RANGE
    case ENOTEMPTY: return 145;     // ERROR_DIR_NOT_EMPTY
    case EXDEV: return 17;          // ERROR_NOT_SAME_DEVICE
    case EIO: return 1117;          // ERROR_IO_DEVICE
    default: return 31;             // ERROR_GEN_FAILURE
  }
}

[[noreturn]] void RaiseErrno() { throw EOSError(Win32CodeOf(errno)); }

int OpenFlags(int createMode, int accessMode) {
  static const int kAccess[] = {O_RDONLY, O_WRONLY, O_RDWR};
  // Truncation happens after the share check, as on Windows, so a file that another program
  // holds is never emptied.
  static const int kCreate[] = {O_CREAT, O_CREAT | O_EXCL, 0, O_CREAT, 0};
  return kAccess[accessMode] | kCreate[createMode] | O_CLOEXEC;
}

int32_t DosDateOf(time_t t) {
  struct tm local;
  if (!localtime_r(&t, &local)) return -1;
  DateTimeParts p;
  p.year = local.tm_year + 1900;
  p.month = local.tm_mon + 1;
  p.day = local.tm_mday;
  p.hour = local.tm_hour;
  p.minute = local.tm_min;
  p.second = local.tm_sec;
  return EncodeDosDateTime(p);
}

bool TimeOfDosDate(int32_t packed, struct timespec& out) {
  DateTimeParts p;
  if (!DecodeDosDateTime(packed, p)) return false;
  struct tm local = {};
  local.tm_year = p.year - 1900;
  local.tm_mon = p.month - 1;
  local.tm_mday = p.day;
  local.tm_hour = p.hour;
  local.tm_min = p.minute;
  local.tm_sec = p.second;
  local.tm_isdst = -1;
  out.tv_sec = mktime(&local);
  out.tv_nsec = 0;
  return out.tv_sec != -1;
}

// statvfs of the nearest folder of path that exists.
bool StatVolume(const std::string& path, struct statvfs& out) {
  std::string probe = path.empty() ? "." : path;
  while (statvfs(probe.c_str(), &out) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return false;
    const std::string parent = ExtractFileDir(probe);
    if (parent.empty() || parent == probe) return false;
    probe = parent;
  }
  return true;
}

// Claims the blocks of a file growing from `from` to `to` bytes, so that a volume that cannot
// hold it fails now rather than in the middle of the copy.
void ReserveBlocks(int fd, int64_t from, int64_t to) {
  struct statfs volume;
  if (fstatfs(fd, &volume) == 0 && volume.f_type == TMPFS_MAGIC) {
    // Reserving memory-backed pages zero-fills them only for the copy to overwrite them: a
    // free-space check fails a full volume just as early at no cost.
    const auto available = static_cast<int64_t>(volume.f_bavail) * static_cast<int64_t>(volume.f_bsize);
    if (available < to - from) throw EOSError(kErrorDiskFull);
    return;
  }
  const int error = posix_fallocate(fd, 0, to);
  // File systems without block reservation fall back to a plain length change.
  if (error != 0 && error != EOPNOTSUPP && error != EINVAL) throw EOSError(Win32CodeOf(error));
}

}  // namespace

char PathSeparator() { return '/'; }
bool IsPathSeparator(char c) { return c == '/'; }

FileHandle OpenFile(const std::string& path, int createMode, int accessMode, int shareMode) {
  const int fd = ::open(path.c_str(), OpenFlags(createMode, accessMode), 0666);
  if (fd < 0) RaiseErrno();
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw EOSError(kErrorAccessDenied);
  }
  if (shareMode != 3 && flock(fd, (shareMode == 0 ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    throw EOSError(Win32CodeOf(error));
  }
  const bool truncate = createMode == 0 || createMode == 4;
  if (truncate && ftruncate(fd, 0) != 0) {
    const int error = errno;
    ::close(fd);
    throw EOSError(Win32CodeOf(error));
  }
  return fd;
}

void CloseFile(FileHandle file) noexcept {
  if (file != kNoFile) ::close(static_cast<int>(file));
}

uint32_t ReadFile(FileHandle file, void* buffer, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(static_cast<int>(file), static_cast<char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseErrno();
    }
    if (n == 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

uint32_t WriteFile(FileHandle file, const void* buffer, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(static_cast<int>(file), static_cast<const char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseErrno();
    }
    if (n == 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

uint32_t CopyFileData(FileHandle from, FileHandle to, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    const ssize_t n = copy_file_range(static_cast<int>(from), nullptr, static_cast<int>(to), nullptr, count - done, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      // Volumes or kernels that cannot copy between these files: copy through a buffer.
      if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) RaiseErrno();
      std::vector<char> buffer(count - done);
      const uint32_t got = ReadFile(from, buffer.data(), count - done);
      if (WriteFile(to, buffer.data(), got) < got) throw EOSError(kErrorWriteFault);
      return done + got;
    }
    if (n == 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

int64_t SeekFile(FileHandle file, int origin, int64_t offset) noexcept {
  static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (origin < 0 || origin > 2) return -1;
  return ::lseek(static_cast<int>(file), offset, kWhence[origin]);
}

int64_t FilePosition(FileHandle file) {
  const off_t at = ::lseek(static_cast<int>(file), 0, SEEK_CUR);
  if (at < 0) RaiseErrno();
  return at;
}

int64_t FileSize(FileHandle file) {
  struct stat st;
  if (fstat(static_cast<int>(file), &st) != 0) RaiseErrno();
  return st.st_size;
}

void SetEndOfFile(FileHandle file) {
  const int fd = static_cast<int>(file);
  const int64_t at = FilePosition(file);
  const int64_t size = FileSize(file);
  if (at > size) ReserveBlocks(fd, size, at);
  if (ftruncate(fd, at) != 0) RaiseErrno();
}

DosFileDates GetFileDosDates(FileHandle file) noexcept {
  DosFileDates dates;
  struct statx sx;
  if (statx(static_cast<int>(file), "", AT_EMPTY_PATH, STATX_MTIME | STATX_BTIME, &sx) != 0) return dates;
  dates.lastWrite = DosDateOf(static_cast<time_t>(sx.stx_mtime.tv_sec));
  // Without a birth time the last change of the inode is the nearest thing to a creation time.
  const auto created = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : sx.stx_ctime.tv_sec;
  dates.creation = DosDateOf(static_cast<time_t>(created));
  return dates;
}

void SetFileDosDates(FileHandle file, int32_t lastWrite, int32_t creation) {
  struct timespec times[2];
  times[0].tv_nsec = UTIME_OMIT;
  if (!TimeOfDosDate(lastWrite, times[1])) times[1].tv_nsec = UTIME_OMIT;
  // POSIX offers no way to set a creation time.
  if (futimens(static_cast<int>(file), times) != 0) RaiseErrno();
}

uint32_t FileAttributesOf(const std::string& path) noexcept {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return 0xFFFFFFFF;
  if (S_ISDIR(st.st_mode)) return 0x10;                      // FILE_ATTRIBUTE_DIRECTORY
  uint32_t attributes = (st.st_mode & S_IWUSR) ? 0x20 : 0x21;  // ARCHIVE, plus READONLY
  return attributes;
}

bool SetAttributesOf(const std::string& path, uint32_t attributes) noexcept {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & 1) ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
  return chmod(path.c_str(), mode) == 0;
}

bool FileExists(const std::string& path) noexcept {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int64_t FileSizeOf(const std::string& path) noexcept {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool DirectoryExists(const std::string& path) noexcept {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) noexcept {
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  const std::string parent = ExtractFileDir(path);
  if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
  return ::mkdir(path.c_str(), 0777) == 0 || DirectoryExists(path);
}

bool RemoveFile(const std::string& path) noexcept { return ::unlink(path.c_str()) == 0; }

void MoveFileOver(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) RaiseErrno();
}

void FlushFile(FileHandle file) {
  if (fsync(static_cast<int>(file)) != 0) RaiseErrno();
}

int64_t FreeBytesAvailable(const std::string& path) {
  struct statvfs vfs;
  if (statvfs(path.c_str(), &vfs) != 0) RaiseErrno();
  return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

int64_t DriveFreeBytes(const std::string& path) noexcept {
  struct statvfs vfs;
  if (!StatVolume(path, vfs)) return -1;
  return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

int64_t DriveTotalBytes(const std::string& path) noexcept {
  struct statvfs vfs;
  if (!StatVolume(path, vfs)) return -1;
  return static_cast<int64_t>(vfs.f_blocks) * static_cast<int64_t>(vfs.f_frsize);
}

bool IsRemovableDrive(const std::string& path) noexcept {
  // The kernel marks a removable disk in /sys; a partition's own folder has no mark, its
  // disk's folder (the parent) has.
  std::string probe = path.empty() ? "." : path;
  struct stat st;
  while (stat(probe.c_str(), &st) != 0) {
    const std::string parent = ExtractFileDir(probe);
    if (parent.empty() || parent == probe) return false;
    probe = parent;
  }
  const std::string device = "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  for (const char* mark : {"/removable", "/../removable"}) {
    char flag = 0;
    const int fd = ::open((device + mark).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    const bool read = ::read(fd, &flag, 1) == 1;
    ::close(fd);
    if (read) return flag == '1';
  }
  return false;
}

std::string SystemErrorText(uint32_t code) {
  // The texts Windows gives for the codes this backend produces.
  switch (code) {
    case 2: return "The system cannot find the file specified.";
    case 3: return "The system cannot find the path specified.";
    case 4: return "The system cannot open the file.";
    case 5: return "Access is denied.";
    case 6: return "The handle is invalid.";
    case 8: return "Not enough memory resources are available to process this command.";
    case 17: return "The system cannot move the file to a different disk drive.";
    case 19: return "The media is write protected.";
    case 29: return "The system cannot write to the specified device.";
    case 31: return "A device attached to the system is not functioning.";
    case 32: return "The process cannot access the file because it is being used by another process.";
    case 38: return "Reached the end of the file.";
    case 80: return "The file exists.";
    case 87: return "The parameter is incorrect.";
    case 112: return "There is not enough space on the disk.";
    case 145: return "The directory is not empty.";
    case 206: return "The filename or extension is too long.";
    case 1117: return "The request could not be performed because of an I/O device error.";
    default: return "Unknown error.";
  }
}

double NowAsDateTime() {
  struct timeval tv;
  gettimeofday(&tv, nullptr);
  struct tm local;
  const time_t seconds = tv.tv_sec;
  localtime_r(&seconds, &local);
  DateTimeParts p;
  p.year = local.tm_year + 1900;
  p.month = local.tm_mon + 1;
  p.day = local.tm_mday;
  p.hour = local.tm_hour;
  p.minute = local.tm_min;
  p.second = local.tm_sec;
  p.millisecond = static_cast<int>(tv.tv_usec / 1000);
  double value = 0;
  EncodeDateTime(p, value);
  return value;
}

}  // namespace kvx::os

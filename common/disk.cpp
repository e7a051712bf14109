#include "common/disk.h"

#include "common/os/os.h"
#include "common/paths.h"

namespace kvx {

int64_t FolderFreeSpace(const std::string& folder) { return os::FreeBytesAvailable(AddBackslash(folder)); }

int64_t DriveFreeSpace(const std::string& path) { return os::DriveFreeBytes(path); }

int64_t DriveTotalSpace(const std::string& path) { return os::DriveTotalBytes(path); }

bool IsRemovableDrive(const std::string& path) { return os::IsRemovableDrive(path); }

}  // namespace kvx

#pragma once
// Free space and drive queries used to size pieces and to describe a destination.
#include <cstdint>
#include <string>

namespace kvx {

// Bytes free for the current user on the volume of folder; raises EOSError on failure (a
// destination that is not ready ends a split with that error).
int64_t FolderFreeSpace(const std::string& folder);
// Free and total bytes of the drive of a path; -1 when the query fails.
int64_t DriveFreeSpace(const std::string& path);
int64_t DriveTotalSpace(const std::string& path);
// True when the path lies on a removable drive (on Linux: a disk the kernel marks removable).
bool IsRemovableDrive(const std::string& path);

}  // namespace kvx

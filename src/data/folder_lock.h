#pragma once
// An advisory lock on the bucket folder, held by start-up while it decides
// about a split and makes it: two Quindles started at once split one after the
// other, and the second finds the work done. A lookup holds it shared while it
// reads a bucket and the stamp that vouches for it, so no split of a folder
// shared by two data folders (a symlink) changes them under it.
#include <string>

namespace quindle {

class FolderLock {
public:
    // Waits until the lock is free; throws FileError when the folder cannot be locked.
    enum class Mode { Exclusive, Shared };
    explicit FolderLock(const std::string& folder, Mode mode = Mode::Exclusive);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace quindle

#pragma once
// An advisory lock on the bucket folder, held by start-up while it decides
// about a split and makes it: two Quindles started at once split one after the
// other, and the second finds the work done. Lookups take no lock: a bucket is
// only ever replaced whole.
#include <string>

namespace quindle {

class FolderLock {
public:
    // Waits until the lock is free; throws FileError when the folder cannot be locked.
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace quindle

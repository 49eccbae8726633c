#pragma once
// An advisory lock on one of the player's list files, held over each
// read-change-write: a lock file beside the list ("FILE.lock"), so the
// list itself can be replaced whole while the lock stands. Two windows and the
// command line changing the list at once take turns, each reading what the one
// before wrote.
#include <string>

namespace quindle {

class FileLock {
public:
    // Waits until the lock on `path` is free; throws FileError naming the lock
    // file when it cannot be made or locked.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace quindle

#include "data/file_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

#include "data/file_error.h"
#include "data/system_paths.h"

namespace quindle {

#ifdef _WIN32
FileLock::FileLock(const std::string& path)
{
    const std::string lock = path + ".lock";
    fd_ = _wopen(fsPath(lock).c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd_ < 0)
        throw FileError(lock, 0, std::string("cannot be made to lock the list: ") + std::strerror(errno));
    OVERLAPPED from{};
    if (!LockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &from)) {
        _close(fd_);
        throw FileError(lock, 0, "cannot be locked");
    }
}

FileLock::~FileLock() { _close(fd_); } // closing releases the lock
#else
FileLock::FileLock(const std::string& path)
{
    const std::string lock = path + ".lock";
    fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0)
        throw FileError(lock, 0, std::string("cannot be made to lock the list: ") + std::strerror(errno));
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR)
            continue;
        const int saved = errno;
        ::close(fd_);
        throw FileError(lock, 0, std::string("cannot be locked: ") + std::strerror(saved));
    }
}

FileLock::~FileLock() { ::close(fd_); } // closing releases the lock
#endif

} // namespace quindle

#include "data/folder_lock.h"

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
// Windows locks files, not folders: a lock file inside the folder stands for it.
FolderLock::FolderLock(const std::string& folder, Mode mode)
{
    const std::string path = folder + "\\lock";
    fd_ = _wopen(fsPath(path).c_str(), _O_RDWR | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd_ < 0)
        throw FileError(folder, 0, std::string("cannot be locked: ") + std::strerror(errno));
    OVERLAPPED from{};
    if (!LockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)),
                    mode == Mode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, 1, 0, &from)) {
        _close(fd_);
        throw FileError(folder, 0, "cannot be locked");
    }
}

FolderLock::~FolderLock() { _close(fd_); } // closing releases the lock
#else
FolderLock::FolderLock(const std::string& folder, Mode mode)
{
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        throw FileError(folder, 0, std::string("cannot be locked: ") + std::strerror(errno));
    while (::flock(fd_, mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) != 0) {
        if (errno == EINTR)
            continue;
        const int saved = errno;
        ::close(fd_);
        throw FileError(folder, 0, std::string("cannot be locked: ") + std::strerror(saved));
    }
}

FolderLock::~FolderLock() { ::close(fd_); } // closing releases the lock
#endif

} // namespace quindle

#include "data/replacing_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <thread>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "data/file_error.h"
#include "data/system_paths.h"

namespace quindle {

namespace {
[[noreturn]] void fail(const std::string& path, const char* what)
{
    throw FileError(path, 0, std::string(what) + std::strerror(errno));
}

// A rename would put a regular file in the place of a device, a FIFO or a link
// to one, which is never what the player asked for.
void refuseAllButARegularFile(const std::string& path)
{
#ifdef _WIN32
    struct _stat64 status {};
    if (_wstat64(fsPath(path).c_str(), &status) != 0 || (status.st_mode & _S_IFMT) == _S_IFREG)
        return;
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode))
        return;
#endif
    throw FileError(path, 0, "is " + fileKindText(status.st_mode) + ", not a regular file; nothing was written over it",
                    FileError::Kind::NotRegularFile);
}
} // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)), temporary_(path_ + ".new")
{
    refuseAllButARegularFile(path_);
#ifdef _WIN32
    _wunlink(fsPath(temporary_).c_str()); // a leftover of a run that was killed
    const int fd = _wopen(fsPath(temporary_).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        fail(path_, "cannot be written: ");
    file_.reset(_fdopen(fd, "wb"));
    if (!file_)
        _close(fd);
#else
    ::unlink(temporary_.c_str()); // a leftover of a run that was killed; a link goes, not its target
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(path_, "cannot be written: ");
    file_.reset(::fdopen(fd, "wb"));
    if (!file_)
        ::close(fd);
#endif
    if (!file_)
        fail(path_, "cannot be written: ");
}

ReplacingFile::~ReplacingFile()
{
    if (file_) {
        file_.reset();
        removeFile(temporary_);
    }
}

void ReplacingFile::write(const char* bytes, std::size_t size)
{
    if (size && std::fwrite(bytes, 1, size, file_.get()) != size)
        fail(path_, "could not be written: ");
#ifdef __linux__
    // Hands what is written so far to the disk in the background, so the flush
    // a caller may ask for once the file is complete has little left to wait for.
    constexpr std::int64_t kWritebackStep = std::int64_t{8} << 20;
    written_ += static_cast<std::int64_t>(size);
    if (written_ - handedOver_ >= kWritebackStep && std::fflush(file_.get()) == 0) {
        ::sync_file_range(fileno(file_.get()), handedOver_, written_ - handedOver_, SYNC_FILE_RANGE_WRITE);
        handedOver_ = written_;
    }
#endif
}

void ReplacingFile::commit()
{
    // What the buffer still holds is written now: on a full disk this is where
    // a small file fails, and the stream's error must not be lost at the close.
    const bool flushed = std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
    const int flushError = errno;
#ifdef __linux__
    if (flushed && written_ > handedOver_)
        ::sync_file_range(fileno(file_.get()), handedOver_, written_ - handedOver_, SYNC_FILE_RANGE_WRITE);
#endif
    const bool closed = std::fclose(file_.release()) == 0;
    if (!flushed || !closed) {
        const int saved = flushed ? errno : flushError;
        removeFile(temporary_);
        errno = saved;
        fail(path_, "could not be written: ");
    }
    std::error_code ec;
    std::filesystem::rename(fsPath(temporary_), fsPath(path_), ec);
#ifdef _WIN32
    // Windows refuses to replace a file another program is reading at that
    // moment (a second Quindle reading the player's list): it is let go within
    // moments, so the rename is tried again for a while before it fails.
    for (int tries = 0; ec && ec == std::errc::permission_denied && tries < 100; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ec.clear();
        std::filesystem::rename(fsPath(temporary_), fsPath(path_), ec);
    }
#endif
    if (ec) {
        removeFile(temporary_);
        throw FileError(path_, 0, "could not be replaced: " + ec.message());
    }
}

} // namespace quindle

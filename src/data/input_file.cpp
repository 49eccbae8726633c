#include "data/input_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "data/file_error.h"
#include "data/system_paths.h"

namespace quindle {

namespace {
std::string kindOf(unsigned mode)
{
#ifdef _WIN32
    if ((mode & _S_IFMT) == _S_IFDIR)
        return "a folder";
    return "a device or pipe";
#else
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
#endif
}

[[noreturn]] void notRegular(const std::string& path, unsigned mode)
{
    throw FileError(path, 0, "is " + kindOf(mode) + ", not a regular file; Quindle reads only ordinary files");
}
} // namespace

std::string lineTooLongText() { return "the line is longer than " + std::to_string(kMaxLineBytes) + " bytes"; }

FilePtr openForReading(const std::string& path)
{
#ifdef _WIN32
    FilePtr file(openFile(path, "rb"));
    if (!file)
        return nullptr;
    struct _stat64 status {};
    if (_fstat64(_fileno(file.get()), &status) == 0 && (status.st_mode & _S_IFMT) != _S_IFREG)
        notRegular(path, status.st_mode);
    return file;
#else
    // Without blocking: opening a FIFO with no writer would wait forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int saved = errno;
        ::close(fd);
        if (status.st_mode == 0) {
            errno = saved;
            return nullptr;
        }
        notRegular(path, status.st_mode);
    }
    // Reads of a regular file never wait; clear the flag all the same.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FilePtr file(::fdopen(fd, "rb"));
    if (!file)
        ::close(fd);
    return file;
#endif
}

ByteInput::ByteInput(FilePtr file, std::string path, std::size_t blockSize)
    : file_(std::move(file)), path_(std::move(path)), buffer_(blockSize)
{
}

ByteInput::ByteInput(std::string_view bytes, std::string path)
    : path_(std::move(path)), begin_(bytes.data()), pos_(bytes.data()), end_(bytes.data() + bytes.size())
{
}

bool ByteInput::refill()
{
    if (!file_)
        return false;
    const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    if (got == 0) {
        if (std::ferror(file_.get())) {
            failed_ = true;
            throw FileError(path_, 0, "the file could not be read");
        }
        return false;
    }
    base_ += static_cast<std::uint64_t>(end_ - begin_);
    begin_ = buffer_.data();
    pos_ = begin_;
    end_ = pos_ + got;
    return true;
}

} // namespace quindle

#include "data/input_file.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "data/file_error.h"
#include "data/line_ends.h"
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

// An open that failed with `error`: the file is missing, or there and unreadable.
FileError::Kind openFaultKind(int error)
{
    return error == ENOENT || error == ENOTDIR ? FileError::Kind::Missing : FileError::Kind::Unreadable;
}

std::string cannotOpenText(int error) { return std::string("cannot be opened: ") + std::strerror(error); }
} // namespace

std::string fileKindText(unsigned mode) { return kindOf(mode); }

std::string notRegularFileText(unsigned mode)
{
    return "is " + kindOf(mode) + ", not a regular file; Quindle reads only ordinary files";
}

std::string lineTooLongText() { return "the line is longer than " + std::to_string(kMaxLineBytes) + " bytes"; }

FilePtr openInput(const std::string& path)
{
#ifdef _WIN32
    FilePtr file(openFile(path, "rb"));
    if (!file) {
        const int saved = errno;
        // Windows refuses to open a folder as "permission denied": say what it is.
        std::error_code error;
        if (std::filesystem::is_directory(fsPath(path), error))
            throw FileError(path, 0, notRegularFileText(_S_IFDIR), FileError::Kind::NotRegularFile);
        throw FileError(path, 0, cannotOpenText(saved), openFaultKind(saved));
    }
    struct _stat64 status {};
    if (_fstat64(_fileno(file.get()), &status) == 0 && (status.st_mode & _S_IFMT) != _S_IFREG)
        throw FileError(path, 0, notRegularFileText(status.st_mode), FileError::Kind::NotRegularFile);
    return file;
#else
    // Without blocking: opening a FIFO with no writer would wait forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int saved = errno;
        throw FileError(path, 0, cannotOpenText(saved), openFaultKind(saved));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int saved = errno;
        ::close(fd);
        if (status.st_mode == 0)
            throw FileError(path, 0, cannotOpenText(saved), openFaultKind(saved));
        throw FileError(path, 0, notRegularFileText(status.st_mode), FileError::Kind::NotRegularFile);
    }
    // Reads of a regular file never wait; clear the flag all the same.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FilePtr file(::fdopen(fd, "rb"));
    if (!file) {
        const int saved = errno;
        ::close(fd);
        throw FileError(path, 0, cannotOpenText(saved), openFaultKind(saved));
    }
    return file;
#endif
}

StartupInputs openStartupInputs(const DataFolder& folder)
{
    StartupInputs inputs;
    inputs.chefTable = openInput(folder.chefTable());
    inputs.chefRows = countLinesWithText(inputs.chefTable.get(), folder.chefTable());
    if (inputs.chefRows > INT32_MAX)
        throw FileError(folder.chefTable(), 0, "has more rows than the table can hold");
    try {
        openInput(folder.sireList());
    } catch (const FileError& e) {
        inputs.sireListFault = e;
    }
    return inputs;
}

std::int64_t countLinesWithText(std::FILE* file, const std::string& path)
{
    std::vector<char> block(std::size_t{1} << 16);
    LineWalk lines(path);
    for (std::size_t got; (got = readBlock(file, block.data(), block.size(), path)) > 0;)
        lines.walk({block.data(), got});
    std::rewind(file);
    return lines.linesWithText();
}

std::size_t readBlock(std::FILE* file, char* into, std::size_t count, const std::string& path)
{
    const std::size_t got = std::fread(into, 1, count, file);
    if (got < count && std::ferror(file))
        throw FileError(path, 0, "the file could not be read");
    return got;
}

std::int64_t fileLength(std::FILE* file)
{
#ifdef _WIN32
    struct _stat64 status {};
    if (_fstat64(_fileno(file), &status) != 0)
        return -1;
#else
    struct stat status {};
    if (::fstat(fileno(file), &status) != 0)
        return -1;
#endif
    return static_cast<std::int64_t>(status.st_size);
}

std::size_t readAt(std::FILE* file, std::int64_t offset, char* into, std::size_t count, const std::string& path)
{
#ifdef _WIN32
    const int sought = _fseeki64(file, offset, SEEK_SET);
#else
    const int sought = fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
    if (sought != 0)
        throw FileError(path, 0, "the file could not be read");
    return readBlock(file, into, count, path);
}

std::vector<char> readWholeFile(const std::string& path, std::size_t padding, std::size_t limit)
{
    FilePtr file = openInput(path);
    std::vector<char> bytes;
    // The size as a hint: the whole file and one byte more are asked for at
    // once, in room reserved for them and the padding, so a file that has not
    // grown is read in one step without moving. The reading goes to the real end.
    std::size_t expected = 0;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        if (size > 0 && static_cast<unsigned long>(size) <= limit)
            expected = static_cast<std::size_t>(size);
        std::rewind(file.get());
    }
    bytes.reserve(expected + std::max<std::size_t>(padding, 1));
    constexpr std::size_t kBlock = std::size_t{1} << 16;
    for (;;) {
        const std::size_t size = bytes.size();
        const std::size_t wanted = size <= expected ? expected + 1 - size : kBlock;
        bytes.resize(size + wanted);
        const std::size_t got = readBlock(file.get(), bytes.data() + size, wanted, path);
        bytes.resize(size + got);
        if (bytes.size() > limit)
            throw FileError(path, 0, "is larger than " + std::to_string(limit >> 20) + " MB");
        if (got < wanted)
            break;
    }
    bytes.resize(bytes.size() + padding);
    return bytes;
}

LineWalk::LineWalk(std::string path, std::int64_t firstLine, char before)
    : path_(std::move(path)), line_(firstLine), afterCr_(before == '\r')
{
}

void LineWalk::walk(std::string_view bytes)
{
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (line_ends::isLineEnd(c)) {
            line_ += line_ends::endsLine(c, afterCr_);
            lineLength_ = 0;
        } else if (++lineLength_ > kMaxLineBytes) {
            throw FileError(path_, line_, lineTooLongText());
        } else {
            withText_ += lineLength_ == 1;
        }
        afterCr_ = c == '\r';
    }
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
    std::size_t got = 0;
    try {
        got = readBlock(file_.get(), buffer_.data(), buffer_.size(), path_);
    } catch (const FileError&) {
        failed_ = true;
        throw;
    }
    if (got == 0)
        return false;
    base_ += static_cast<std::uint64_t>(end_ - begin_);
    begin_ = buffer_.data();
    pos_ = begin_;
    end_ = pos_ + got;
    return true;
}

} // namespace quindle

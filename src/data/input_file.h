#pragma once
// A file opened for reading in large blocks, byte by byte or block by block.
// Every input is 8-bit text: bytes are never decoded or translated.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_folder.h"
#include "data/file_error.h"

namespace quindle {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The longest line any of Quindle's files may hold, line end not counted: far
// more than any real line, and small enough that memory stays flat whatever a
// file holds.
inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 16;
std::string lineTooLongText();

// Opens a file for binary reading, or throws FileError saying why not: it is
// missing (Kind::Missing), not a regular file (Kind::NotRegularFile: a FIFO
// would block start-up and a device such as /dev/zero never ends, so the file
// is opened without waiting on it and anything else is named for what it is),
// or cannot be opened (Kind::Unreadable, with the system's reason). Every
// input of Quindle's is opened here.
FilePtr openInput(const std::string& path);
// What openInput says of a path whose mode (st_mode) is no regular file's.
std::string notRegularFileText(unsigned mode);
// What a file of this mode is that is not a regular file ("a folder", "a FIFO", "a device").
std::string fileKindText(unsigned mode);

// The two inputs start-up reads before it looks at the breeding file, opened in
// one go, in the order a player is told of their faults: the chef table, whose
// lines that hold text are counted (one chef each), then the sire list, which
// only has to open. A fault of the chef table throws (FileError; notOpened()
// when it is missing or cannot be opened); one of the sire list is kept, to be
// told only once the chef table's rows have been read.
struct StartupInputs {
    FilePtr chefTable; // at its start
    std::int64_t chefRows = 0;
    std::optional<FileError> sireListFault;
};
StartupInputs openStartupInputs(const DataFolder& folder);

// The lines of an open file that hold at least one character (CR LF, LF and CR
// each end a line), read from where the file stands to its end; the file is
// then rewound to its start.
// A line longer than kMaxLineBytes throws FileError naming `path` and the line.
std::int64_t countLinesWithText(std::FILE* file, const std::string& path);

// Reads up to `count` bytes of `file` into `into`: fewer only at the end of the
// file. Throws FileError naming `path` when the file cannot be read. Every
// reader of Quindle's files reads through this.
std::size_t readBlock(std::FILE* file, char* into, std::size_t count, const std::string& path);
// The size of an open file in bytes, or -1 when it cannot be told.
std::int64_t fileLength(std::FILE* file);
// The same from byte `offset` of the file on: fewer only at its end, none
// beyond it. Throws FileError naming `path` when the file cannot be read there.
std::size_t readAt(std::FILE* file, std::int64_t offset, char* into, std::size_t count, const std::string& path);

// A whole file, then `padding` zero bytes. Throws FileError when it cannot be
// opened or read, or holds more than `limit` bytes.
std::vector<char> readWholeFile(const std::string& path, std::size_t padding, std::size_t limit);

// Follows the lines of bytes given block by block, as the field reader counts
// them: the line reached, and how many lines hold text. A line longer than
// kMaxLineBytes throws FileError naming `path` and the line.
class LineWalk {
public:
    LineWalk(std::string path, std::int64_t firstLine = 1, char before = '\n');
    void walk(std::string_view bytes);
    std::int64_t line() const { return line_; }
    std::int64_t linesWithText() const { return withText_; }

private:
    std::string path_;
    std::int64_t line_;
    std::int64_t withText_ = 0;
    std::size_t lineLength_ = 0;
    bool afterCr_;
};

// Block-buffered reading of a file or of bytes already in memory.
class ByteInput {
public:
    ByteInput(FilePtr file, std::string path, std::size_t blockSize = 1 << 16);
    ByteInput(std::string_view bytes, std::string path);

    const std::string& path() const { return path_; }

    // The next byte (0..255), or -1 at the end of the input.
    int peek()
    {
        if (pos_ == end_ && !refill())
            return -1;
        return static_cast<unsigned char>(*pos_);
    }
    int get()
    {
        const int c = peek();
        if (c >= 0)
            ++pos_;
        return c;
    }
    // The bytes not yet consumed in the current block (refilled when empty).
    std::string_view window()
    {
        if (pos_ == end_)
            refill();
        return {pos_, static_cast<std::size_t>(end_ - pos_)};
    }
    void consume(std::size_t count) { pos_ += count; }
    // Bytes consumed since the start of the input.
    std::uint64_t offset() const { return base_ + static_cast<std::uint64_t>(pos_ - begin_); }
    // True when the bytes are all in memory (and stay where they are).
    bool inMemory() const { return !file_; }
    // True when a read failed (as opposed to reaching the end).
    bool failed() const { return failed_; }

private:
    bool refill();

    FilePtr file_;
    std::string path_;
    std::vector<char> buffer_;
    const char* begin_ = nullptr; // the start of the current block
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    std::uint64_t base_ = 0; // the offset of begin_
    bool failed_ = false;
};

} // namespace quindle

#pragma once
// Cuts a breeding file into pieces of whole horses, so that several threads can
// each read a piece with their own FieldReader and still meet every field, and
// every fault, on the same line as one reader going through the whole file.
//
// A horse is four lines, none of them empty, and the reader skips empty lines
// between horses. So, counting the non-empty lines from the start of the file, a
// horse starts at line 1, 5, 9, ... of them, and a piece ends just before such a
// line. In a broken file (an empty line inside a horse, a short last horse) the
// reader of the piece meets the break exactly where a single reader would: the
// piece runs on to the next cut, past the break.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/input_file.h"

namespace quindle {

class RecordChunk {
public:
    // At least this many bytes after the end of bytes() can be read (they belong
    // to no horse), so a scan may take whole blocks past the end of a field.
    static constexpr std::size_t kPadding = 32;

    std::string_view bytes() const { return {storage_.data(), size_}; }
    std::int64_t firstLine() const { return firstLine_; } // the line of the file bytes() starts on

private:
    friend class RecordChunker;
    // Grows only, so a piece is read into memory that is already there: no
    // allocating and zero-filling half a megabyte for every piece.
    std::vector<char> storage_;
    std::size_t size_ = 0;
    std::int64_t firstLine_ = 1;
};

class RecordChunker {
public:
    // `targetSize` is about how many bytes a piece holds; a piece is longer only
    // when a single horse is, and never longer than targetSize and four of the
    // longest lines: a longer line is an error naming it.
    RecordChunker(FilePtr file, std::string path, std::size_t targetSize = std::size_t{1} << 19);

    // The next piece, into `chunk` (its storage is reused); false when the file is
    // used up. Throws FileError when the file cannot be read.
    bool next(RecordChunk& chunk);

    const std::string& path() const { return path_; }
    // How many pieces the file held when it was opened, at most: no more
    // threads are worth starting to read it (each costs a millisecond on some
    // systems, more than a small file takes to read).
    std::size_t piecesAtMost() const { return piecesAtMost_; }

private:
    // A horse is four lines, each with its line end.
    static constexpr std::size_t kLongestHorse = 4 * (kMaxLineBytes + 2);

    std::size_t readMore(RecordChunk& into, std::size_t count);
    // Ends the piece at `at`, keeping the rest for the next one.
    void cutAt(RecordChunk& chunk, std::size_t at, std::int64_t ends, bool textBefore);

    FilePtr file_;
    std::string path_;
    std::size_t target_;
    std::size_t piecesAtMost_;
    std::string carry_;     // bytes read after the last cut
    std::int64_t line_ = 1; // the line carry_ starts on
    char before_ = '\n';    // the byte before carry_ (a line end at the start of the file)
    bool seenText_ = false; // a non-empty line was handed out before carry_
    bool atEndOfFile_ = false;
};

// Line ends and non-empty line starts in `bytes`, given the byte before them.
// CR LF, a lone LF and a lone CR each end one line, as for FieldReader.
struct LineCounts {
    std::int64_t ends = 0;
    std::int64_t starts = 0;
};
LineCounts countLines(std::string_view bytes, char before);

namespace detail {
// The same one byte a step: what countLines falls back on, callable so that
// bench/trick_gains can time the two side by side.
LineCounts countLinesByBytes(std::string_view bytes, char before);
} // namespace detail

} // namespace quindle

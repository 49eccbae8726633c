#pragma once
// FieldReader: the one reader of comma-separated fields for ChefTable, QN_SireList
// and the bucket files. Names from all three meet in exact comparisons, so they
// must all be read by the same rules:
//
//  - A field ends at a comma or at a line end. CR LF, a lone LF and a lone CR each
//    end a line. The reader does not care which line a field is on.
//  - Blanks (space, tab) before a field are skipped; blanks at the end of an
//    unquoted field are dropped too, so "STAR LANTERN ,..." reads "STAR LANTERN".
//  - A field may be enclosed in double quotes; it may then hold commas and blanks,
//    which are kept. There is no escape for a quote inside quotes. Only blanks may
//    follow the closing quote before the comma or line end; anything else is an
//    error, and so is a line end or the end of the file inside the quotes.
//  - A whole-number field (quoted or not, blanks around it ignored) is an optional
//    sign and decimal digits, nothing else, and must fit its target; an empty
//    field is not a number.
//  - Asking for a field at the end of the file is an error, except right after a
//    comma: "a,b," holds three fields, the last one empty.
//  - atEnd() skips empty lines: a file may end in any number of them.
//  - A file that starts with a UTF-8 byte-order mark is refused: the files are
//    8-bit text, and the mark would silently become part of the first name.
//  - A line longer than kMaxLineBytes is an error naming it, so no file can make
//    the reader hold more than that.
//
// Bytes are kept as they are: no case change, no code-page translation.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/input_file.h"

namespace quindle {

class FieldReader {
public:
    // Reads from a file opened with openInput, `blockSize` bytes at a time;
    // `path` is used in error messages.
    FieldReader(FilePtr file, std::string path, std::size_t blockSize = std::size_t{1} << 16);
    // Reads from bytes in memory (which must outlive the reader), starting at `firstLine`.
    FieldReader(std::string_view bytes, std::string path, std::int64_t firstLine = 1);

    // Each of these throws FileError naming the file and the line on a bad field.
    std::string readText();
    // The same, into a string whose storage is reused.
    void readText(std::string& into) { readField(into); }
    std::int16_t readInt16();
    std::int32_t readInt32();
    // The next field as a view into the bytes being read, without copying it:
    // valid as long as those bytes. Only for a reader over bytes in memory
    // (std::logic_error otherwise).
    std::string_view readView();
    // Reads and throws away one field of any content.
    void skipField() { readAny(); }

    // Skips the rest of the current line and `count - 1` more, line ends
    // included, without reading their fields: for a scan that reads only the
    // first field of a record. The last line of the file may lack its line end;
    // a line missing altogether, or longer than kMaxLineBytes, is an error.
    void skipLines(int count);

    // Looks at the whole next line without reading it. True when the line is
    // plain: in memory, ended by a line end, and holding exactly fields.size()
    // fields, none starting or ending with a blank, and none quoted but whole
    // fields in quotes with no quote between them. Its fields, which then go
    // into `fields`, are the bytes between its commas, or between the quotes:
    // exactly what reading them one by one gives. A line that is not plain is
    // read field by field, which also words any fault in it. Call only at the
    // start of a line.
    bool lookAtPlainLine(std::span<std::string_view> fields);
    // Reads the line that lookAtPlainLine has just found plain.
    void takePlainLine();

    // True when nothing but empty lines is left. Call only between records.
    bool atEnd();
    // What ended the field read last: records use it to check their line layout.
    enum class Delimiter { Comma, LineEnd, EndOfFile };
    Delimiter lastDelimiter() const { return lastDelimiter_; }
    // The line the next field starts on (1-based).
    std::int64_t line() const { return line_; }
    const std::string& path() const { return in_.path(); }
    // Bytes read so far: for a reader over bytes in memory, where the next field
    // (or the skipped empty lines before it) starts.
    std::uint64_t offset() const { return in_.offset(); }

    // The fault of asking for a field where the file has ended.
    static constexpr const char* kEndedText = "the file ends where a field was expected";

private:
    void readField(std::string& value);
    // A view into memory, or into storage the next read reuses.
    std::string_view readAny();
    template <class Text>
    void readInto(Text& text);
    // The steps of readInto.
    void refuseByteOrderMark();
    int skipBlanks(); // returns the byte after them, or -1 at the end
    template <class Text>
    int readQuoted(Text& text); // returns the byte after the field
    template <class Text>
    int readUnquoted(Text& text);
    void takeDelimiter(int c);
    std::int64_t readWhole(std::int64_t min, std::int64_t max);
    void consumeLineEnd(int first);
    void checkLineLength() const;

    ByteInput in_;
    std::int64_t line_ = 1;
    std::int64_t fieldLine_ = 1;
    bool afterComma_ = false;
    std::string scratch_;
    bool atStart_ = true;           // a byte-order mark is refused at the start of a file
    std::size_t plainLineSize_ = 0; // the line looked at, line end included
    std::uint64_t lineStart_ = 0;   // the offset where the current line starts
    Delimiter lastDelimiter_ = Delimiter::LineEnd;
};

enum class NumberParse { Ok, NotANumber, OutOfRange };
// Parses a whole-number text by FieldReader's rules (optional sign, then digits).
NumberParse parseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max, std::int64_t& value);

// The scans inside the reader, and the plain loops they stand in for, callable
// so that bench/trick_gains can time them side by side. Not for other use.
namespace detail {
enum class Steps { Blocks, Bytes }; // 16 or 64 bytes, or 1 byte a step
// The length of the unquoted field text at the start of `block`: up to a comma,
// CR or LF.
std::size_t fieldRunLength(std::string_view block, Steps steps);
// The commas and line ends among n <= 64 bytes at p: bit i for the byte at p[i].
struct Boundaries {
    std::uint64_t comma = 0, lineEnd = 0;
};
Boundaries lineBoundaries(const char* p, std::size_t n, Steps steps);
} // namespace detail

} // namespace quindle

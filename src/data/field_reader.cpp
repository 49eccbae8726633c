#include "data/field_reader.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "data/byte_words.h"
#include "data/file_error.h"
#include "data/line_ends.h"

namespace quindle {

namespace {
bool isBlank(int c) { return c == ' ' || c == '\t'; }
using line_ends::isLineEnd;

// One byte a step...
template <char end>
std::size_t runLengthByBytes(std::string_view block)
{
    const char* p = block.data();
    return static_cast<std::size_t>(byte_words::findFirstOfByBytes(p, p + block.size(), end, '\r', '\n') - p);
}

// The length of the run of field text at the start of `block`: up to `end`
// (a comma outside quotes, the closing quote inside them), CR or LF. Many bytes
// a step where the processor allows it: this is where reading a file spends most
// of its time (most fields end within the first step).
template <char end>
std::size_t runLength(std::string_view block)
{
    const char* p = block.data();
    return static_cast<std::size_t>(byte_words::findFirstOf(p, p + block.size(), end, '\r', '\n') - p);
}
} // namespace

namespace detail {
std::size_t fieldRunLength(std::string_view block, Steps steps)
{
    return steps == Steps::Blocks ? runLength<','>(block) : runLengthByBytes<','>(block);
}
} // namespace detail

FieldReader::FieldReader(FilePtr file, std::string path, std::size_t blockSize)
    : in_(std::move(file), std::move(path), blockSize)
{
}

FieldReader::FieldReader(std::string_view bytes, std::string path, std::int64_t firstLine)
    : in_(bytes, std::move(path)), line_(firstLine), fieldLine_(firstLine), atStart_(firstLine == 1)
{
}

void FieldReader::consumeLineEnd(int first)
{
    in_.get();
    if (first == '\r' && in_.peek() == '\n')
        in_.get();
    ++line_;
    lineStart_ = in_.offset();
}

void FieldReader::checkLineLength() const
{
    if (in_.offset() - lineStart_ > kMaxLineBytes)
        throw FileError(path(), line_, lineTooLongText());
}

bool FieldReader::atEnd()
{
    if (afterComma_)
        return false;
    for (int c = in_.peek(); isLineEnd(c); c = in_.peek())
        consumeLineEnd(c);
    return in_.peek() < 0;
}

void FieldReader::skipLines(int count)
{
    afterComma_ = false;
    while (count > 0) {
        const std::string_view block = in_.window();
        if (block.empty()) {
            if (count == 1 && in_.offset() > lineStart_) {
                lastDelimiter_ = Delimiter::EndOfFile;
                return;
            }
            throw FileError(path(), line_, kEndedText);
        }
        const char* end = line_ends::next(block.data(), block.data() + block.size());
        in_.consume(static_cast<std::size_t>(end - block.data()));
        checkLineLength();
        if (end < block.data() + block.size()) {
            consumeLineEnd(static_cast<unsigned char>(*end));
            --count;
        }
    }
    lastDelimiter_ = Delimiter::LineEnd;
}

namespace {
// Where the text of a field goes: copied into a string...
class CopiedText {
public:
    explicit CopiedText(std::string& into) : value_(into) { value_.clear(); }
    void take(const char* bytes, std::size_t count) { value_.append(bytes, count); }
    void dropTrailingBlanks()
    {
        while (!value_.empty() && isBlank(static_cast<unsigned char>(value_.back())))
            value_.pop_back();
    }
    std::string_view text() const { return value_; }

private:
    std::string& value_;
};

// ...or looked at where it lies, for a reader over bytes in memory: there the
// runs of one field follow each other without a gap. An empty field is an empty
// view where it lies, never a null one: callers may read the padding after it.
class ViewedText {
public:
    explicit ViewedText(const char* at) : value_(at, 0) {}
    void take(const char* bytes, std::size_t count)
    {
        value_ =
            value_.empty() ? std::string_view(bytes, count) : std::string_view(value_.data(), value_.size() + count);
    }
    void dropTrailingBlanks()
    {
        while (!value_.empty() && isBlank(static_cast<unsigned char>(value_.back())))
            value_.remove_suffix(1);
    }
    std::string_view text() const { return value_; }

private:
    std::string_view value_;
};
} // namespace

void FieldReader::refuseByteOrderMark()
{
    if (!atStart_)
        return;
    atStart_ = false;
    if (in_.window().substr(0, 3) == "\xEF\xBB\xBF")
        throw FileError(path(), 1, "the file starts with a UTF-8 byte-order mark; save it as plain 8-bit text");
}

int FieldReader::skipBlanks()
{
    int c = in_.peek();
    while (isBlank(c)) {
        in_.get();
        c = in_.peek();
    }
    return c;
}

template <class Text>
int FieldReader::readQuoted(Text& value)
{
    in_.get(); // the opening quote
    // Take whole runs up to the closing quote, a block at a time.
    for (;;) {
        const std::string_view block = in_.window();
        if (block.empty())
            throw FileError(path(), fieldLine_, "a quoted field has no closing quote");
        const std::size_t n = runLength<'"'>(block);
        value.take(block.data(), n);
        in_.consume(n);
        checkLineLength();
        if (n < block.size()) {
            if (block[n] != '"')
                throw FileError(path(), fieldLine_, "a quoted field has no closing quote");
            in_.consume(1);
            break;
        }
    }
    const int c = skipBlanks();
    checkLineLength();
    if (c >= 0 && c != ',' && !isLineEnd(c))
        throw FileError(path(), fieldLine_, "text after the closing quote of " + quoteForMessage(value.text()));
    return c;
}

template <class Text>
int FieldReader::readUnquoted(Text& value)
{
    // The last byte taken, looked at in the input rather than in a string that
    // was only just written.
    int last = -1;
    for (;;) {
        const std::string_view block = in_.window();
        if (block.empty())
            break;
        const std::size_t n = runLength<','>(block);
        if (n > 0) {
            value.take(block.data(), n);
            last = static_cast<unsigned char>(block[n - 1]);
        }
        in_.consume(n);
        checkLineLength();
        if (n < block.size())
            break;
    }
    if (isBlank(last))
        value.dropTrailingBlanks();
    return in_.peek();
}

void FieldReader::takeDelimiter(int c)
{
    afterComma_ = (c == ',');
    if (c == ',') {
        in_.get();
        lastDelimiter_ = Delimiter::Comma;
    } else if (isLineEnd(c)) {
        consumeLineEnd(c);
        lastDelimiter_ = Delimiter::LineEnd;
    } else {
        lastDelimiter_ = Delimiter::EndOfFile;
    }
}

// One field: leading blanks dropped, quoted or plain text, then what ends it.
template <class Text>
void FieldReader::readInto(Text& value)
{
    fieldLine_ = line_;
    refuseByteOrderMark();
    if (in_.peek() < 0) {
        // After a comma the file's end closes an empty last field.
        if (!afterComma_)
            throw FileError(path(), line_, kEndedText);
        afterComma_ = false;
        lastDelimiter_ = Delimiter::EndOfFile;
        return;
    }
    const int first = skipBlanks();
    checkLineLength();
    takeDelimiter(first == '"' ? readQuoted(value) : readUnquoted(value));
}

void FieldReader::readField(std::string& value)
{
    CopiedText text(value);
    readInto(text);
}

std::string_view FieldReader::readAny()
{
    if (!in_.inMemory()) {
        readField(scratch_);
        return scratch_;
    }
    ViewedText text(in_.window().data());
    readInto(text);
    return text.text();
}

std::string_view FieldReader::readView()
{
    if (!in_.inMemory())
        throw std::logic_error("FieldReader::readView needs bytes in memory");
    return readAny();
}

namespace {
using detail::Boundaries;
// The commas and line ends among up to 64 bytes, one byte a step.
Boundaries findBoundariesByBytes(const char* p, std::size_t n)
{
    Boundaries found;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        const auto c = static_cast<unsigned char>(p[i]);
        found.comma |= c == ',' ? bit : 0;
        found.lineEnd |= isLineEnd(c) ? bit : 0;
    }
    return found;
}

// The same, sixty-four bytes at once.
Boundaries findBoundaries(const char* p, std::size_t n)
{
    if (n == 64)
        return {byte_words::equalBits64(p, ','), line_ends::bits64(p).any()};
    return findBoundariesByBytes(p, n);
}

// What reading the bytes between two commas field by field gives, when it is
// plain to see: the bytes themselves, unless they start or end with a blank; or,
// for a field in quotes with nothing before or after them and no quote between
// them, the bytes between the quotes. False for any other field.
bool plainFieldText(const char* p, std::size_t size, std::string_view& text)
{
    if (size == 0) {
        text = {p, 0};
        return true;
    }
    const auto first = static_cast<unsigned char>(p[0]), last = static_cast<unsigned char>(p[size - 1]);
    if (first == '"') {
        if (size < 2 || last != '"' || std::memchr(p + 1, '"', size - 2))
            return false;
        text = {p + 1, size - 2};
        return true;
    }
    if (isBlank(first) || isBlank(last))
        return false;
    text = {p, size};
    return true;
}
} // namespace

namespace detail {
Boundaries lineBoundaries(const char* p, std::size_t n, Steps steps)
{
    return steps == Steps::Blocks ? findBoundaries(p, n) : findBoundariesByBytes(p, n);
}
} // namespace detail

bool FieldReader::lookAtPlainLine(std::span<std::string_view> fields)
{
    // At the start of a file the first field is checked for a byte-order mark.
    if (!in_.inMemory() || afterComma_ || atStart_ || fields.empty())
        return false;
    const std::string_view rest = in_.window();
    const char* p = rest.data();
    std::size_t field = 0, fieldStart = 0;
    for (std::size_t at = 0; at < rest.size() && at <= kMaxLineBytes; at += 64) {
        const std::size_t n = std::min<std::size_t>(64, rest.size() - at);
        const Boundaries found = findBoundaries(p + at, n);
        const std::uint64_t lineEnd = found.lineEnd & (0 - found.lineEnd); // the first one only
        for (std::uint64_t commas = found.comma & (lineEnd - 1); commas; commas &= commas - 1) {
            const std::size_t end = at + static_cast<std::size_t>(std::countr_zero(commas));
            if (field + 1 == fields.size() || !plainFieldText(p + fieldStart, end - fieldStart, fields[field]))
                return false; // too many fields, or one to read field by field
            ++field;
            fieldStart = end + 1;
        }
        if (lineEnd) {
            const std::size_t end = at + static_cast<std::size_t>(std::countr_zero(lineEnd));
            if (field + 1 != fields.size() || !plainFieldText(p + fieldStart, end - fieldStart, fields[field]) ||
                end > kMaxLineBytes)
                return false; // too few fields, or the last one to read field by field
            plainLineSize_ = end + line_ends::sizeAt(p + end, p + rest.size());
            return true;
        }
    }
    return false; // no line end: the last line of the input
}

void FieldReader::takePlainLine()
{
    in_.consume(plainLineSize_);
    ++line_;
    lineStart_ = in_.offset();
    lastDelimiter_ = Delimiter::LineEnd;
}

std::string FieldReader::readText()
{
    std::string value;
    readField(value);
    return value;
}

NumberParse parseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max, std::int64_t& value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return NumberParse::NotANumber;
    while (i + 1 < text.size() && text[i] == '0')
        ++i; // leading zeros do not make a number large
    // Past twelve digits a number is past every target; the digits are still
    // checked, so "1234567890123x" is no number rather than one too large.
    const std::size_t counted = std::min(text.size(), i + 12);
    std::int64_t magnitude = 0;
    for (; i < counted; ++i) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(text[i])) - '0';
        if (digit > 9)
            return NumberParse::NotANumber;
        magnitude = magnitude * 10 + digit;
    }
    const bool tooLarge = i < text.size();
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return NumberParse::NotANumber;
    value = negative ? -magnitude : magnitude;
    return !tooLarge && value >= min && value <= max ? NumberParse::Ok : NumberParse::OutOfRange;
}

std::int64_t FieldReader::readWhole(std::int64_t min, std::int64_t max)
{
    std::string_view text = readAny();
    // Blanks around the digits do not matter, also inside quotes.
    while (!text.empty() && isBlank(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    std::int64_t value = 0;
    switch (parseWholeNumber(text, min, max, value)) {
    case NumberParse::Ok:
        return value;
    case NumberParse::OutOfRange:
        throw FileError(path(), fieldLine_,
                        quoteForMessage(text) + " is out of range (" + std::to_string(min) + " to " +
                            std::to_string(max) + ")");
    case NumberParse::NotANumber:
        break;
    }
    throw FileError(path(), fieldLine_, quoteForMessage(text) + " is not a whole number");
}

std::int16_t FieldReader::readInt16() { return static_cast<std::int16_t>(readWhole(INT16_MIN, INT16_MAX)); }

std::int32_t FieldReader::readInt32() { return static_cast<std::int32_t>(readWhole(INT32_MIN, INT32_MAX)); }

} // namespace quindle

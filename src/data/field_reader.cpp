#include "data/field_reader.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "data/byte_words.h"
#include "data/file_error.h"

namespace quindle {

namespace {
bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool isLineEnd(int c) { return c == '\r' || c == '\n'; }

// The length of the run of field text at the start of `block`: up to `end`
// (a comma outside quotes, the closing quote inside them), CR or LF. Many bytes
// a step where the processor allows it: this is where reading a file spends most
// of its time.
template <char end>
std::size_t runLength(std::string_view block)
{
    const char* p = block.data();
    std::size_t n = 0;
#if defined(__SSE2__)
    // Sixteen bytes a step: most fields end within the first step.
    const __m128i stop = _mm_set1_epi8(end), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; n + 16 <= block.size(); n += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(bytes, stop),
                                          _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (const int mask = _mm_movemask_epi8(hits))
            return n + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        using namespace byte_words;
        for (; n + 8 <= block.size(); n += 8) {
            const std::uint64_t word = load(p + n);
            const std::uint64_t hits = bytesEqual(word, end) | bytesEqual(word, '\r') | bytesEqual(word, '\n');
            if (hits)
                return n + static_cast<std::size_t>(std::countr_zero(hits) / 8);
        }
    }
    while (n < block.size() && p[n] != end && !isLineEnd(static_cast<unsigned char>(p[n])))
        ++n;
    return n;
}
} // namespace

FieldReader::FieldReader(FilePtr file, std::string path) : in_(std::move(file), std::move(path)) {}

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
}

bool FieldReader::atEnd()
{
    if (afterComma_)
        return false;
    for (int c = in_.peek(); isLineEnd(c); c = in_.peek())
        consumeLineEnd(c);
    return in_.peek() < 0;
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
// runs of one field follow each other without a gap.
class ViewedText {
public:
    void take(const char* bytes, std::size_t count)
    {
        value_ = value_.empty() ? std::string_view(bytes, count) : std::string_view(value_.data(), value_.size() + count);
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

template <class Text>
void FieldReader::readInto(Text& value)
{
    fieldLine_ = line_;
    if (atStart_) {
        atStart_ = false;
        if (in_.window().substr(0, 3) == "\xEF\xBB\xBF")
            throw FileError(path(), 1, "the file starts with a UTF-8 byte-order mark; save it as plain 8-bit text");
    }
    int c = in_.peek();
    if (c < 0) {
        if (!afterComma_)
            throw FileError(path(), line_, "the file ends where a field was expected");
        afterComma_ = false;
        lastDelimiter_ = Delimiter::EndOfFile;
        return;
    }
    while (isBlank(c)) {
        in_.get();
        c = in_.peek();
    }

    if (c == '"') {
        in_.get();
        // Take whole runs up to the closing quote, a block at a time.
        for (;;) {
            const std::string_view block = in_.window();
            if (block.empty())
                throw FileError(path(), fieldLine_, "a quoted field has no closing quote");
            const std::size_t n = runLength<'"'>(block);
            value.take(block.data(), n);
            in_.consume(n);
            if (n < block.size()) {
                if (block[n] != '"')
                    throw FileError(path(), fieldLine_, "a quoted field has no closing quote");
                in_.consume(1);
                break;
            }
        }
        c = in_.peek();
        while (isBlank(c)) {
            in_.get();
            c = in_.peek();
        }
        if (c >= 0 && c != ',' && !isLineEnd(c))
            throw FileError(path(), fieldLine_,
                            "text after the closing quote of " + quoteForMessage(value.text()));
    } else {
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
            if (n < block.size())
                break;
        }
        c = in_.peek();
        if (isBlank(last))
            value.dropTrailingBlanks();
    }

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
    ViewedText text;
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
// Which of up to sixteen bytes are commas, line ends, quotes and blanks: bit i
// for the byte at p[i].
struct ByteClasses {
    unsigned comma = 0, lineEnd = 0, quote = 0, blank = 0;
};
ByteClasses classifyBytes(const char* p, std::size_t n)
{
    ByteClasses classes;
#if defined(__SSE2__)
    if (n == 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto is = [&](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
        const auto bits = [](__m128i m) { return static_cast<unsigned>(_mm_movemask_epi8(m)); };
        classes.comma = bits(is(','));
        classes.lineEnd = bits(_mm_or_si128(is('\r'), is('\n')));
        classes.quote = bits(is('"'));
        classes.blank = bits(_mm_or_si128(is(' '), is('\t')));
        return classes;
    }
#endif
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned bit = 1u << i;
        const auto c = static_cast<unsigned char>(p[i]);
        classes.comma |= c == ',' ? bit : 0;
        classes.lineEnd |= isLineEnd(c) ? bit : 0;
        classes.quote |= c == '"' ? bit : 0;
        classes.blank |= isBlank(c) ? bit : 0;
    }
    return classes;
}
} // namespace

bool FieldReader::lookAtPlainLine(std::span<std::string_view> fields)
{
    // At the start of a file the first field is checked for a byte-order mark.
    if (!in_.inMemory() || afterComma_ || atStart_ || fields.empty())
        return false;
    const std::string_view rest = in_.window();
    const char* p = rest.data();
    std::size_t field = 0, fieldStart = 0;
    bool blankBefore = false;    // the byte before this step is a blank
    bool boundaryBefore = true;  // the byte before this step ends a field, or the line starts here
    for (std::size_t at = 0; at < rest.size(); at += 16) {
        const std::size_t n = std::min<std::size_t>(16, rest.size() - at);
        const ByteClasses classes = classifyBytes(p + at, n);
        const unsigned lineEnd = classes.lineEnd & (0u - classes.lineEnd); // the first one only
        const unsigned inLine = lineEnd ? lineEnd - 1 : (1u << n) - 1;
        const unsigned commas = classes.comma & inLine, blanks = classes.blank & inLine;
        const unsigned boundaries = commas | lineEnd;
        if ((classes.quote & inLine) ||
            (blanks & (boundaries << 1 | unsigned{boundaryBefore})) ||  // a field starts with a blank
            ((blanks << 1 | unsigned{blankBefore}) & boundaries))        // a field ends with one
            return false;
        for (unsigned left = commas; left; left &= left - 1) {
            if (field + 1 == fields.size())
                return false; // too many fields
            const std::size_t end = at + static_cast<std::size_t>(std::countr_zero(left));
            fields[field++] = {p + fieldStart, end - fieldStart};
            fieldStart = end + 1;
        }
        if (lineEnd) {
            if (field + 1 != fields.size())
                return false; // too few fields
            const std::size_t end = at + static_cast<std::size_t>(std::countr_zero(lineEnd));
            fields[field] = {p + fieldStart, end - fieldStart};
            plainLineSize_ = end + (p[end] == '\r' && end + 1 < rest.size() && p[end + 1] == '\n' ? 2 : 1);
            return true;
        }
        blankBefore = blanks >> (n - 1) & 1;
        boundaryBefore = commas >> (n - 1) & 1;
    }
    return false; // no line end: the last line of the input
}

void FieldReader::takePlainLine()
{
    in_.consume(plainLineSize_);
    ++line_;
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
    std::int64_t magnitude = 0;
    bool tooLarge = false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return NumberParse::NotANumber;
        if (!tooLarge)
            magnitude = magnitude * 10 + (text[i] - '0');
        tooLarge = tooLarge || magnitude > (std::int64_t{1} << 40); // past every target; stop before overflow
    }
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

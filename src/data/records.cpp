#include "data/records.h"

#include <span>

#include "data/field_reader.h"
#include "data/file_error.h"

namespace quindle {

namespace {

// Reads the fields of one line and checks that the line holds exactly `count`
// of them, so a short or long line is reported where it is instead of shifting
// every later field.
class LineFields {
public:
    // `alreadyRead`: fields of the line read before (by another LineFields).
    LineFields(FieldReader& reader, int count, int alreadyRead = 0)
        : reader_(reader), count_(count), read_(alreadyRead), line_(reader.line())
    {
    }
    std::string text()
    {
        std::string value = reader_.readText();
        checkDelimiter();
        return value;
    }
    void text(std::string& into)
    {
        reader_.readText(into);
        checkDelimiter();
    }
    void text(std::string_view& into)
    {
        into = reader_.readView();
        checkDelimiter();
    }
    std::int16_t int16()
    {
        const auto value = reader_.readInt16();
        checkDelimiter();
        return value;
    }
    std::int32_t int32()
    {
        const auto value = reader_.readInt32();
        checkDelimiter();
        return value;
    }
    void skip()
    {
        reader_.skipField();
        checkDelimiter();
    }

private:
    void checkDelimiter()
    {
        ++read_;
        const auto delimiter = reader_.lastDelimiter();
        if (read_ < count_ && delimiter != FieldReader::Delimiter::Comma)
            throw FileError(reader_.path(), line_,
                            "the line has " + std::to_string(read_) + " fields, " + std::to_string(count_) +
                                " expected");
        if (read_ == count_ && delimiter == FieldReader::Delimiter::Comma)
            throw FileError(reader_.path(), line_, "the line has more than " + std::to_string(count_) + " fields");
    }

    FieldReader& reader_;
    int count_;
    int read_;
    std::int64_t line_;
};

// The layout of a horse's four lines: how many fields each holds, and which
// record text each field after the leading number fills (null: not used).
constexpr std::array<int, kLinesPerHorse> kFieldsOnLine{4, 5, 5, 5};
template <class Text>
using HorseText = Text BasicHorseRecord<Text>::*;
template <class Text>
constexpr std::array<std::array<HorseText<Text>, 4>, kLinesPerHorse> kTextsOnLine{{
    {&BasicHorseRecord<Text>::name, &BasicHorseRecord<Text>::age, &BasicHorseRecord<Text>::sex, nullptr},
    {&BasicHorseRecord<Text>::sire, &BasicHorseRecord<Text>::sireSire, &BasicHorseRecord<Text>::sireDamSire,
     &BasicHorseRecord<Text>::sireSireSire},
    {&BasicHorseRecord<Text>::damSire, &BasicHorseRecord<Text>::damSireSire, nullptr, nullptr},
    {&BasicHorseRecord<Text>::damDamSire, nullptr, nullptr, nullptr},
}};

// The text fields of one line of a horse, after its leading number.
template <class Text>
void readHorseTexts(LineFields& line, BasicHorseRecord<Text>& r, int lineIndex)
{
    const auto index = static_cast<std::size_t>(lineIndex);
    for (int field = 1; field < kFieldsOnLine[index]; ++field) {
        if (const HorseText<Text> text = kTextsOnLine<Text>[index][static_cast<std::size_t>(field - 1)])
            line.text(r.*text);
        else
            line.skip();
    }
}

// One line of a horse, field by field; the first line's number is the identifier.
template <class Text>
void readHorseLine(FieldReader& reader, BasicHorseRecord<Text>& r, int lineIndex)
{
    LineFields line(reader, kFieldsOnLine[static_cast<std::size_t>(lineIndex)]);
    const std::int32_t number = line.int32();
    if (lineIndex == 0)
        r.id = number;
    readHorseTexts(line, r, lineIndex);
}

template <class Record>
void readHorseFields(FieldReader& reader, Record& r)
{
    for (int lineIndex = 0; lineIndex < kLinesPerHorse; ++lineIndex)
        readHorseLine(reader, r, lineIndex);
}

// A plain line of `fields.size()` fields whose first field is a whole number:
// read at once, or left for reading field by field.
bool takePlainLine(FieldReader& reader, std::span<std::string_view> fields, std::int32_t& number)
{
    if (!reader.lookAtPlainLine(fields))
        return false;
    std::int64_t value = 0;
    if (parseWholeNumber(fields[0], INT32_MIN, INT32_MAX, value) != NumberParse::Ok)
        return false;
    number = static_cast<std::int32_t>(value);
    reader.takePlainLine();
    return true;
}

} // namespace

void readHorseRecord(FieldReader& reader, HorseRecord& into) { readHorseFields(reader, into); }

// Most lines of a breeding file are plain, and reading such a line at once is
// several times faster than field by field; any other line is read field by
// field, with the same result and the same faults.
void readHorseRecord(FieldReader& reader, HorseView& r)
{
    for (int lineIndex = 0; lineIndex < kLinesPerHorse; ++lineIndex) {
        const auto index = static_cast<std::size_t>(lineIndex);
        std::array<std::string_view, 5> f;
        std::int32_t number = 0;
        if (!takePlainLine(reader, std::span(f).first(static_cast<std::size_t>(kFieldsOnLine[index])), number)) {
            readHorseLine(reader, r, lineIndex);
            continue;
        }
        if (lineIndex == 0)
            r.id = number;
        for (std::size_t field = 1; field < static_cast<std::size_t>(kFieldsOnLine[index]); ++field)
            if (const HorseText<std::string_view> text = kTextsOnLine<std::string_view>[index][field - 1])
                r.*text = f[field];
    }
}

void detail::readHorseRecordByFields(FieldReader& reader, HorseView& into) { readHorseFields(reader, into); }

HorseRecord readHorseRecord(FieldReader& reader)
{
    HorseRecord r;
    readHorseRecord(reader, r);
    return r;
}

std::int32_t readHorseIdentifier(FieldReader& reader) { return LineFields(reader, kFieldsOnLine[0]).int32(); }

void readHorseRest(FieldReader& reader, std::int32_t id, HorseRecord& into)
{
    into.id = id;
    LineFields first(reader, kFieldsOnLine[0], 1);
    readHorseTexts(first, into, 0);
    for (int lineIndex = 1; lineIndex < kLinesPerHorse; ++lineIndex)
        readHorseLine(reader, into, lineIndex);
}

void skipHorseRest(FieldReader& reader) { reader.skipLines(kLinesPerHorse); }

SireListEntry readSireListEntry(FieldReader& reader)
{
    LineFields line(reader, 4);
    SireListEntry e;
    e.name = line.text();
    e.sire = line.text();
    e.damSire = line.text();
    e.sireSire = line.text();
    return e;
}

void readSireListEntry(FieldReader& reader, SireListView& into)
{
    std::array<std::string_view, 4> f;
    if (reader.lookAtPlainLine(f)) {
        reader.takePlainLine();
        into = {f[0], f[1], f[2], f[3]};
        return;
    }
    LineFields line(reader, 4);
    line.text(into.name);
    line.text(into.sire);
    line.text(into.damSire);
    line.text(into.sireSire);
}

ChefEntry readChefEntry(FieldReader& reader)
{
    LineFields line(reader, 6);
    ChefEntry e;
    e.name = line.text();
    for (auto& point : e.points)
        point = line.int16();
    return e;
}

} // namespace quindle

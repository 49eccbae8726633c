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
    LineFields(FieldReader& reader, int count) : reader_(reader), count_(count), line_(reader.line()) {}
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
    int read_ = 0;
    std::int64_t line_;
};

template <class Record>
void readHorseLine1(FieldReader& reader, Record& r)
{
    LineFields line(reader, 4);
    r.id = line.int32();
    line.text(r.name);
    line.text(r.age);
    line.text(r.sex);
}

template <class Record>
void readHorseLine2(FieldReader& reader, Record& r)
{
    LineFields line(reader, 5);
    line.int32();
    line.text(r.sire);
    line.text(r.sireSire);
    line.text(r.sireDamSire);
    line.text(r.sireSireSire);
}

template <class Record>
void readHorseLine3(FieldReader& reader, Record& r)
{
    LineFields line(reader, 5);
    line.int32();
    line.text(r.damSire);
    line.text(r.damSireSire);
    line.skip();
    line.skip();
}

template <class Record>
void readHorseLine4(FieldReader& reader, Record& r)
{
    LineFields line(reader, 5);
    line.int32();
    line.text(r.damDamSire);
    line.skip();
    line.skip();
    line.skip();
}

template <class Record>
void readHorseFields(FieldReader& reader, Record& r)
{
    readHorseLine1(reader, r);
    readHorseLine2(reader, r);
    readHorseLine3(reader, r);
    readHorseLine4(reader, r);
}

// A plain line of `fields.size()` fields whose first field is a whole number:
// read at once, or left for reading field by field.
bool takePlainLine(FieldReader& reader, std::span<std::string_view> fields, std::int32_t& number)
{
    if (!reader.lookAtPlainLine(fields))
        return false;
    // The line's fields lie one after the other in memory.
    const char* start = fields.front().data();
    const std::string_view line(start, static_cast<std::size_t>(fields.back().data() + fields.back().size() - start));
    if (!parseLeadingInt32(fields[0], line, number))
        return false;
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
    std::array<std::string_view, 5> f;
    std::int32_t number = 0;
    if (takePlainLine(reader, std::span(f).first(4), r.id)) {
        r.name = f[1];
        r.age = f[2];
        r.sex = f[3];
    } else {
        readHorseLine1(reader, r);
    }
    if (takePlainLine(reader, f, number)) {
        r.sire = f[1];
        r.sireSire = f[2];
        r.sireDamSire = f[3];
        r.sireSireSire = f[4];
    } else {
        readHorseLine2(reader, r);
    }
    if (takePlainLine(reader, f, number)) {
        r.damSire = f[1];
        r.damSireSire = f[2];
    } else {
        readHorseLine3(reader, r);
    }
    if (takePlainLine(reader, f, number))
        r.damDamSire = f[1];
    else
        readHorseLine4(reader, r);
}

HorseRecord readHorseRecord(FieldReader& reader)
{
    HorseRecord r;
    readHorseRecord(reader, r);
    return r;
}

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

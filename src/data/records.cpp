#include "data/records.h"

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
void readHorseFields(FieldReader& reader, Record& r)
{
    {
        LineFields line(reader, 4);
        r.id = line.int32();
        line.text(r.name);
        line.text(r.age);
        line.text(r.sex);
    }
    {
        LineFields line(reader, 5);
        line.int32();
        line.text(r.sire);
        line.text(r.sireSire);
        line.text(r.sireDamSire);
        line.text(r.sireSireSire);
    }
    {
        LineFields line(reader, 5);
        line.int32();
        line.text(r.damSire);
        line.text(r.damSireSire);
        line.skip();
        line.skip();
    }
    {
        LineFields line(reader, 5);
        line.int32();
        line.text(r.damDamSire);
        line.skip();
        line.skip();
        line.skip();
    }
}

} // namespace

void readHorseRecord(FieldReader& reader, HorseRecord& into) { readHorseFields(reader, into); }

void readHorseRecord(FieldReader& reader, HorseView& into) { readHorseFields(reader, into); }

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

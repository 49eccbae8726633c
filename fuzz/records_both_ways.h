#pragma once
// Reading records with their plain lines taken whole and reading them field by
// field must give the same records and the same fault. The fuzz target holds
// the reader to that, and the tests replay the inputs the fuzzers grew.
#include <string>
#include <string_view>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/records.h"

namespace quindle::fuzzing {

enum class RecordKind { Horse, SireListEntry };

// What reading `bytes` gives: each record's fields, each with its length, then
// the fault that stopped them.
struct RecordsRead {
    std::string text;
    bool faultHasItsPlace = true; // the fault names the file and a line
};

inline RecordsRead readRecords(std::string_view bytes, RecordKind kind, bool plainLines)
{
    RecordsRead read;
    const auto add = [&](std::string_view field) {
        read.text += std::to_string(field.size()) + ':';
        read.text += field;
    };
    FieldReader reader(bytes, "fuzz");
    try {
        for (int records = 0; records < 1000 && !reader.atEnd(); ++records) {
            if (kind == RecordKind::Horse) {
                HorseView h;
                plainLines ? readHorseRecord(reader, h) : detail::readHorseRecordByFields(reader, h);
                read.text += std::to_string(h.id);
                for (const std::string_view f : {h.name, h.age, h.sex, h.sire, h.sireSire, h.sireDamSire,
                                                 h.sireSireSire, h.damSire, h.damSireSire, h.damDamSire})
                    add(f);
            } else if (plainLines) {
                SireListView e;
                readSireListEntry(reader, e);
                for (const std::string_view f : {e.name, e.sire, e.damSire, e.sireSire})
                    add(f);
            } else {
                const SireListEntry e = readSireListEntry(reader);
                for (const std::string_view f : {e.name, e.sire, e.damSire, e.sireSire})
                    add(f);
            }
            read.text += '\n';
        }
    } catch (const FileError& e) {
        read.text += e.what();
        read.faultHasItsPlace = e.line() >= 1 && e.path() == "fuzz";
    }
    return read;
}

} // namespace quindle::fuzzing

// FieldReader over each kind of file: any bytes must give records or a FileError
// naming its line, and the same whether plain lines are taken whole or not.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/records.h"
#include "records_both_ways.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quindle;
    if (size == 0)
        return 0;
    const int kind = data[0] % 3;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (kind == 0) {
        FieldReader reader(bytes, "fuzz");
        try {
            for (int records = 0; records < 1000 && !reader.atEnd(); ++records)
                readChefEntry(reader);
        } catch (const FileError& e) {
            if (e.line() < 1 || e.path() != "fuzz")
                __builtin_trap();
        }
        return 0;
    }
    const auto records = kind == 1 ? fuzzing::RecordKind::SireListEntry : fuzzing::RecordKind::Horse;
    const fuzzing::RecordsRead whole = fuzzing::readRecords(bytes, records, true);
    const fuzzing::RecordsRead byFields = fuzzing::readRecords(bytes, records, false);
    if (!whole.faultHasItsPlace || whole.text != byFields.text)
        __builtin_trap();
    return 0;
}

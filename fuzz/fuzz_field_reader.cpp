// FieldReader over each kind of file: any bytes must give records or a FileError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int kind = data[0] % 3;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    quindle::FieldReader reader(bytes, "fuzz");
    try {
        for (int records = 0; records < 1000 && !reader.atEnd(); ++records) {
            if (kind == 0)
                quindle::readChefEntry(reader);
            else if (kind == 1)
                quindle::readSireListEntry(reader);
            else
                quindle::readHorseRecord(reader);
        }
    } catch (const quindle::FileError& e) {
        if (e.line() < 1 || e.path() != "fuzz")
            __builtin_trap();
    }
    return 0;
}

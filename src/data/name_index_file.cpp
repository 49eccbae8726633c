#include "data/name_index_file.h"

#include <cstdio>

namespace quindle {

std::string nameIndexHeader(const std::string& stampText) { return "QUINDLE INDEX 2\n" + stampText + "\n"; }

NameIndexWriter::NameIndexWriter(const DataFolder& folder, const std::string& stampText)
    : names_{ReplacingFile(folder.nameIndex()), {}, 0}, horses_{ReplacingFile(folder.horseIndex()), {}, 0}
{
    const std::string header = nameIndexHeader(stampText);
    write(names_, header);
    write(horses_, header);
}

void NameIndexWriter::write(Output& out, std::string_view text)
{
    out.file.write(text.data(), text.size());
    out.sum.add(text);
    out.bytes += text.size();
}

void NameIndexWriter::add(SinkTexts& texts, std::int64_t horses)
{
    if (horses == 0)
        return;
    write(names_, texts.at(0));
    write(horses_, texts.at(1));
    count_ += horses;
}

void NameIndexWriter::commit()
{
    for (Output* out : {&names_, &horses_}) {
        char sum[17];
        std::snprintf(sum, sizeof sum, "%016llx", static_cast<unsigned long long>(out->sum.value()));
        write(*out, "END " + std::to_string(count_) + " " + std::to_string(out->bytes) + " " + sum + "\n");
    }
    names_.file.commit();
    horses_.file.commit();
}

} // namespace quindle

#include "data/name_index_file.h"

#include <cstdio>

namespace quindle {

std::string nameIndexHeader(const std::string& stampText) { return "QUINDLE INDEX 2\n" + stampText + "\n"; }

NameIndexWriter::NameIndexWriter(const DataFolder& folder, const std::string& stampText)
    : names_{ReplacingFile(folder.nameIndex()), nameIndexHeader(stampText), {}, 0},
      horses_{ReplacingFile(folder.horseIndex()), nameIndexHeader(stampText), {}, 0}
{
}

void NameIndexWriter::flush()
{
    for (Output* out : {&names_, &horses_}) {
        out->file.write(out->text.data(), out->text.size());
        out->sum.add(out->text);
        out->bytes += out->text.size();
        out->text.clear();
    }
}

void NameIndexWriter::commit()
{
    flush();
    for (Output* out : {&names_, &horses_}) {
        char sum[17];
        std::snprintf(sum, sizeof sum, "%016llx", static_cast<unsigned long long>(out->sum.value()));
        out->text = "END " + std::to_string(count_) + " " + std::to_string(out->bytes) + " " + sum + "\n";
    }
    flush();
    names_.file.commit();
    horses_.file.commit();
}

} // namespace quindle

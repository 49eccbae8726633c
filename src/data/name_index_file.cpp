#include "data/name_index_file.h"

namespace quindle {

std::string nameIndexHeader(const std::string& stampText) { return "QUINDLE INDEX 1\n" + stampText + "\n"; }

NameIndexWriter::NameIndexWriter(const DataFolder& folder, const std::string& stampText)
    : names_{ReplacingFile(folder.nameIndex()), nameIndexHeader(stampText)},
      horses_{ReplacingFile(folder.horseIndex()), nameIndexHeader(stampText)}
{
}

void NameIndexWriter::flush()
{
    for (Output* out : {&names_, &horses_}) {
        out->file.write(out->text.data(), out->text.size());
        out->text.clear();
    }
}

void NameIndexWriter::commit()
{
    const std::string last = "END " + std::to_string(count_) + "\n";
    names_.text += last;
    horses_.text += last;
    flush();
    names_.file.commit();
    horses_.file.commit();
}

} // namespace quindle

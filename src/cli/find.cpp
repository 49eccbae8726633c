// quindle-cli find: horses by name, from the name index the split made.
#include <cstdio>
#include <string>

#include "app/find_horses.h"
#include "commands.h"
#include "output.h"
#include "export/text_forms.h"
#include "startup_cli.h"

namespace quindle::cli {

int runFind(const DataFolder& folder, const std::string& text, std::size_t limit, bool json)
{
    const auto latin1 = latin1Argument(text);
    if (!latin1)
        return 2;
    if (latin1->empty()) {
        std::fprintf(stderr, "quindle-cli: find needs some text to look for\n");
        return 2;
    }
    if (!startUp(folder))
        return 2;
    const NameIndexRead read = readNameIndexCuttingAgain(folder);
    if (read.status != Outcome::Done) {
        sayError(read.error);
        return 2;
    }
    const NameIndex& index = *read.index;
    const HorsesFound found = findHorses(index, *latin1, limit);
    Out out;
    if (!json)
        out.write("id,name,age,sex,sire,damsire\n");
    std::string line;
    for (const std::uint32_t i : found.names.horses) {
        const IndexedHorse h = index.horse(i);
        line.clear();
        if (json) {
            line += "{\"id\":" + std::to_string(h.id);
            const std::pair<const char*, std::string_view> fields[] = {
                {"name", h.name}, {"age", h.age}, {"sex", h.sex}, {"sire", h.sire}, {"damsire", h.damSire}};
            for (const auto& [key, value] : fields)
                line += std::string(",\"") + key + "\":" + jsonString(latin1ToUtf8(value));
            line += "}\n";
        } else {
            line += std::to_string(h.id);
            for (const std::string_view value : {h.name, h.age, h.sex, h.sire, h.damSire}) {
                line += ',';
                appendCsvField(line, value);
            }
            line += '\n';
        }
        out.write(line);
    }
    if (!out.finish())
        return outputFailed();
    if (found.names.horses.size() < found.names.total)
        std::fprintf(stderr, "quindle-cli: %s of %s horses shown\n", std::to_string(found.names.horses.size()).c_str(),
                     std::to_string(found.names.total).c_str());
    return found.status == Outcome::Done ? 0 : 1;
}

} // namespace quindle::cli

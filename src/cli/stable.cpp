// quindle-cli stable: the player's list (My Horses) for scripts, through the
// same book the window keeps it with: each change under the list's lock, on the
// file as it is at that moment.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/stable_book.h"
#include "app/stable_rows.h"
#include "command_table.h"
#include "commands.h"
#include "export/text_forms.h"
#include "lookup/horse_lookup.h"
#include "output.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

// A message of the book, whole: written by its size, so nothing in it cuts it short.
void say(const std::string& message)
{
    if (message.empty())
        return;
    std::string line = "quindle-cli: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

int list(StableBook& book, const DataFolder& folder)
{
    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    Out out;
    out.write("id,name,age,sex,sire,damsire,total,di,cd\n");
    std::string line;
    int status = 0;
    for (const StableRow& row : stableRows(book.stable(), folder, *chefs)) {
        const HorseRecord& horse = row.checked.horse;
        line = std::to_string(row.checked.entry.id);
        for (const std::string& field :
             {shownName(row.checked), horse.age, horse.sex, horse.sire, horse.damSire, row.total, row.di, row.cd}) {
            line += ',';
            appendCsvField(line, field);
        }
        out.write(line + "\n");
        if (!row.checked.usable()) {
            say(row.checked.message);
            status = 1;
        }
    }
    return out.finish() ? status : outputFailed();
}

// The IDs of an edit, each as the ID box takes it; empty after naming a bad one.
std::vector<std::int32_t> idsOf(const std::vector<std::string>& operands)
{
    std::vector<std::int32_t> ids;
    for (std::size_t i = 1; i < operands.size(); ++i) {
        const std::int32_t id = parseIdentifier(operands[i]);
        if (id == 0) {
            std::fprintf(stderr, "quindle-cli: \"%s\" is not a horse identifier (1 to 6 digits, not 0)\n",
                         operands[i].c_str());
            return {};
        }
        ids.push_back(id);
    }
    return ids;
}

// 0 when every change was made, 1 when one was not (each said).
int edit(StableBook& book, const DataFolder& folder, const std::string& what, const std::vector<std::int32_t>& ids)
{
    if (!startUp(folder))
        return 2;
    int status = 0;
    for (const std::int32_t id : ids) {
        ListChange change;
        if (what == "add") {
            change = book.add(id);
        } else if (what == "remove") {
            change = book.remove(id);
        } else {
            const LookupResult found = findHorse(folder, id);
            change = found.status == Outcome::Done
                         ? book.confirm(id, found.horse.name)
                         : ListChange{Outcome::Failed,
                                      found.status == Outcome::Absent
                                          ? "There is no horse " + std::to_string(id) + " in the breeding file."
                                          : found.error,
                                      {},
                                      0};
        }
        say(change.message);
        if (change.status != Outcome::Done)
            status = 1;
    }
    return status;
}

} // namespace

int runStable(const DataFolder& folder, const std::optional<std::string>& file,
              const std::vector<std::string>& operands)
{
    const std::string what = operands.empty() ? std::string() : operands[0];
    const bool edits = what == "add" || what == "remove" || what == "confirm";
    if (!edits && what != "list" && what != "import")
        return usageError("stable takes list, add ID..., remove ID..., confirm ID... or import FILE");
    if ((what == "list" && operands.size() != 1) || (what == "import" && operands.size() != 2) ||
        (edits && operands.size() < 2))
        return usageError("stable " + what +
                          (what == "list"     ? " takes nothing more"
                           : what == "import" ? " takes one FILE"
                                              : " needs at least one ID"));
    const std::vector<std::int32_t> ids = edits ? idsOf(operands) : std::vector<std::int32_t>{};
    if (edits && ids.empty())
        return 2;
    StableBook book;
    StableOpen opened;
    if (file && !file->empty()) {
        opened = book.openFile(*file, folder);
    } else {
        opened = book.open(folder);
        if (book.path().empty()) {
            std::fprintf(stderr,
                         "quindle-cli: no home folder to find the stable file in: name it with --stable FILE\n");
            return 2;
        }
    }
    say(opened.message);
    if (opened.status == Outcome::Failed && book.keptAside().empty())
        return 1; // left where it is, unread: nothing to list, nothing changed
    if (what == "list")
        return std::max(list(book, folder), opened.status == Outcome::Failed ? 1 : 0);
    if (what == "import") {
        const ListChange taken = book.import(operands[1]);
        say(taken.message);
        if (taken.status == Outcome::Done)
            std::fprintf(stderr, "quindle-cli: %zu horses taken into %s\n", taken.count, book.path().c_str());
        return taken.status == Outcome::Done ? 0 : 1;
    }
    return edit(book, folder, what, ids);
}

} // namespace quindle::cli

// quindle-cli roster: the player's roster of stallions for scripts, through the
// same book the season window keeps it with: each change under the file's
// lock, on the file as it is at that moment.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/roster_book.h"
#include "app/roster_rows.h"
#include "command_table.h"
#include "commands.h"
#include "data/latin1_text.h"
#include "data/sire_list.h"
#include "export/text_forms.h"
#include "output.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

// Each line of a message on its own line of standard error.
void say(const std::string& message)
{
    for (std::size_t at = 0; at < message.size();) {
        const std::size_t end = std::min(message.find('\n', at), message.size());
        if (end > at)
            sayError(std::string_view(message).substr(at, end - at));
        at = end + 1;
    }
}

int list(const RosterBook& book, const DataFolder& folder)
{
    if (!startUp(folder))
        return 2;
    const SireIndex sires(readSireList(folder.sireList()));
    Out out;
    out.write("stallion,name,book,sire,damsire,note\n");
    int status = 0;
    for (const RosterRow& row : rosterRows(book.roster(), sires, folder)) {
        std::string line;
        appendCsvField(line, row.entry.keyText());
        for (const std::string& field :
             {row.entry.name, row.entry.book ? std::to_string(*row.entry.book) : std::string(), row.sire,
              row.damSire}) {
            line += ',';
            appendCsvField(line, field);
        }
        line += ',';
        line += csvField(row.note);
        out.write(line + "\n");
        if (!row.usable) {
            say(row.entry.keyText() == row.entry.name ? latin1ForMessage(row.entry.name) + ": " + row.note : row.note);
            status = 1;
        }
    }
    if (!sires.error().empty()) {
        sayError("the sire list could not be read to the end: " + sires.error());
        status = 1;
    }
    return out.finish() ? status : outputFailed();
}

// The stallions named, each a name (as the sire list holds it) or #ID; nullopt after saying which is refused.
std::optional<std::vector<RosterKey>> keysOf(const std::vector<std::string>& operands, std::size_t from, std::size_t to)
{
    std::vector<RosterKey> keys;
    for (std::size_t i = from; i < to; ++i) {
        const auto latin1 = latin1Argument(operands[i]);
        if (!latin1)
            return std::nullopt;
        const auto key = parseRosterKey(*latin1);
        if (!key) {
            std::fprintf(stderr, "quindle-cli: roster: \"%s\" is no stallion: a name of the sire list or #ID\n",
                         operands[i].c_str());
            return std::nullopt;
        }
        keys.push_back(*key);
    }
    return keys;
}

// A book as typed: a whole number of mares (0 or more), or "none" for the book for all.
std::optional<std::optional<std::int64_t>> bookOf(const std::string& text)
{
    if (text == "none")
        return std::optional<std::int64_t>();
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        badArgument("roster", "book", text, "expected a whole number of mares, or none");
        return std::nullopt;
    }
    if (value < 0) {
        badArgument("roster", "book", text, "a book is 0 or more mares");
        return std::nullopt;
    }
    return std::optional<std::int64_t>(value);
}

int told(const RosterChange& change)
{
    say(change.message);
    return change.status == Outcome::Done && change.passedOver == 0 ? 0 : 1;
}

} // namespace

int runRoster(const DataFolder& folder, const std::optional<std::string>& file, const std::optional<std::string>& book,
              const std::vector<std::string>& operands)
{
    const std::string what = operands.empty() ? std::string() : operands[0];
    if (what != "list" && what != "add" && what != "remove" && what != "book")
        return usageError("roster takes list, add NAME|#ID..., remove NAME|#ID... or book NAME|#ID N");
    if ((what == "list" && operands.size() != 1) || (what == "book" && operands.size() != 3) ||
        ((what == "add" || what == "remove") && operands.size() < 2))
        return usageError("roster " + what +
                          (what == "list"   ? " takes nothing more"
                           : what == "book" ? " takes one stallion and his book (N, or none)"
                                            : " needs at least one stallion"));
    if (book && what != "add")
        return usageError("roster: --book goes with add (roster book NAME|#ID N changes one)");
    const auto keys = keysOf(operands, 1, what == "book" ? 2 : operands.size());
    if (!keys)
        return 2;
    std::optional<std::uint32_t> addBook;
    if (book) {
        const auto value = bookOf(*book);
        if (!value)
            return 2;
        if (*value)
            addBook = static_cast<std::uint32_t>(std::min<std::int64_t>(**value, 999999));
    }
    const auto newBook = what == "book" ? bookOf(operands[2]) : std::optional<std::optional<std::int64_t>>();
    if (what == "book" && !newBook)
        return 2;

    RosterBook roster;
    KeptOpen opened;
    if (file && !file->empty()) {
        opened = roster.openFile(*file, folder);
    } else {
        opened = roster.open(folder);
        if (roster.path().empty()) {
            std::fprintf(stderr,
                         "quindle-cli: no home folder to find the roster file in: name it with --roster FILE\n");
            return 2;
        }
    }
    say(opened.message);
    if (opened.status == Outcome::Failed && roster.keptAside().empty())
        return 1; // left where it is, unread: nothing to list, nothing changed
    const int read = opened.status == Outcome::Failed ? 1 : 0;
    if (what == "list")
        return std::max(list(roster, folder), read);
    if (what == "remove")
        return std::max(told(roster.remove(*keys)), read);
    if (what == "book")
        return std::max(told(roster.setBook(keys->front(), *newBook)), read);
    if (!startUp(folder)) // an #ID is looked up in the breeding file
        return 2;
    return std::max(told(roster.add(*keys, addBook)), read);
}

} // namespace quindle::cli

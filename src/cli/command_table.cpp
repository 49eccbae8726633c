#include "command_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include "commands.h"
#include "data/field_reader.h"

namespace quindle::cli {

namespace {

int show(const DataFolder& folder, const Arguments& args)
{
    if (args.operands.empty())
        return usageError("show needs at least one ID");
    return runShow(folder, args.operands, args.has("--json"));
}

int mate(const DataFolder& folder, const Arguments& args) { return runMate(folder, args.operands, args.has("--json")); }

int profiles(const DataFolder& folder, const Arguments& args)
{
    if (!args.operands.empty())
        return usageError("profiles takes no names");
    return runProfiles(folder, args.value("--from").value_or(""), args.value("--to").value_or(""));
}

int sires(const DataFolder& folder, const Arguments& args)
{
    if (!args.operands.empty())
        return usageError("sires takes no operands: give the mare with --dam or --damsire and --damdamsire");
    SiresOptions options;
    options.json = args.has("--json");
    for (const auto& [option, value] :
         {std::pair{"--dam", &options.dam}, {"--damsire", &options.damSire}, {"--damdamsire", &options.damDamSire}})
        *value = args.value(option);
    readTargetOptions(args, options);
    return runSires(folder, options);
}

int season(const DataFolder& folder, const Arguments& args)
{
    if (!args.operands.empty())
        return usageError("season takes no operands: give the mares with --dams or --stable");
    SeasonOptions options;
    options.json = args.has("--json");
    options.assign = args.has("--assign");
    options.noRepeats = args.has("--no-repeats");
    for (const auto& [option, value] : {std::pair{"--dams", &options.dams},
                                        {"--stable", &options.stable},
                                        {"--book", &options.book},
                                        {"--roster", &options.roster}})
        *value = args.value(option);
    options.locks = args.values("--lock");
    options.excluded = args.values("--exclude");
    options.excludedPairs = args.values("--exclude-pair");
    readTargetOptions(args, options);
    if (options.roster && !options.assign)
        return usageError("season --roster goes with --assign: the roster rules the season decided");
    return options.assign ? runSeasonAssign(folder, options) : runSeason(folder, options);
}

int mares(const DataFolder& folder, const Arguments& args)
{
    if (!args.operands.empty())
        return usageError("mares takes no operands: give the stallion with --sire");
    MaresOptions options;
    options.json = args.has("--json");
    for (const auto& [option, value] : {std::pair{"--sire", &options.sire},
                                        {"--stable", &options.stable},
                                        {"--min-age", &options.minAge},
                                        {"--max-age", &options.maxAge}})
        *value = args.value(option);
    readTargetOptions(args, options);
    return runMares(folder, options);
}

int find(const DataFolder& folder, const Arguments& args)
{
    std::int64_t most = INT64_MAX;
    const std::string limit = args.value("--limit").value_or("");
    if (!limit.empty() && parseWholeNumber(limit, 1, INT64_MAX, most) != NumberParse::Ok)
        return usageError("--limit takes a number of horses, at least 1");
    if (args.operands.size() != 1)
        return usageError("find takes one TEXT");
    return runFind(folder, args.operands[0], static_cast<std::size_t>(most), args.has("--json"));
}

int foals(const DataFolder& folder, const Arguments& args)
{
    if (args.operands.size() != 1)
        return usageError("foals takes one SIRE");
    return runFoals(folder, args.operands[0], args.has("--json"), args.has("--averages"));
}

int stable(const DataFolder& folder, const Arguments& args)
{
    return runStable(folder, args.value("--stable"), args.operands);
}

int roster(const DataFolder& folder, const Arguments& args)
{
    return runRoster(folder, args.value("--roster"), args.value("--book"), args.operands);
}

constexpr std::string_view kJson[] = {"--json"};
constexpr std::string_view kProfilesOptions[] = {"--from", "--to"};
constexpr std::string_view kSiresOptions[] = {"--json", "--dam",       "--damsire", "--damdamsire", "--di",
                                              "--cd",   "--min-total", "--sort",    "--top",        "--target"};
constexpr std::string_view kSeasonOptions[] = {
    "--json",   "--dams", "--stable", "--di",      "--cd",           "--min-total",  "--sort",   "--top",
    "--assign", "--book", "--lock",   "--exclude", "--exclude-pair", "--no-repeats", "--target", "--roster"};
constexpr std::string_view kMaresOptions[] = {"--json", "--sire",      "--stable", "--min-age", "--max-age", "--di",
                                              "--cd",   "--min-total", "--sort",   "--top",     "--target"};
constexpr std::string_view kFindOptions[] = {"--json", "--limit"};
constexpr std::string_view kFoalsOptions[] = {"--json", "--averages"};
constexpr std::string_view kStableOptions[] = {"--stable"};
constexpr std::string_view kRosterOptions[] = {"--roster", "--book"};

constexpr std::array kCommands{
    Command{"show", "[--json] ID...", "the main window's boxes after typing each ID and pressing GO", kJson, show},
    Command{"mate", "[--json] SIRE [DAMSIRE [DAMDAMSIRE]]",
            "the main window's boxes after submitting a hypothetical mating", kJson, mate},
    Command{"profiles", "[--from ID] [--to ID]", "one CSV row with the profile of every horse of breeding.txt",
            kProfilesOptions, profiles},
    Command{"sires",
            "[--json] (--dam ID | [--damsire NAME] [--damdamsire NAME]) [--target NAME]\n"
            "                   [--di MIN:MAX] [--cd MIN:MAX] [--min-total N] [--sort COLUMN[,desc]] [--top N]",
            "the foal of every stallion of QN_SireList with one mare, as CSV", kSiresOptions, sires},
    Command{"season",
            "[--json] (--dams ID[,ID...] | --stable [FILE]) [--target NAME]\n"
            "                   [--di MIN:MAX] [--cd MIN:MAX] [--min-total N] [--sort COLUMN[,desc]] [--top N]\n"
            "       quindle-cli [--data-dir DIR] season --assign (--dams ID[,ID...] | --stable [FILE])\n"
            "                   [--roster [FILE]] [--book N] [--lock DAM=SIRE]... [--exclude SIRE]... [--exclude-pair "
            "DAM=SIRE]...\n"
            "                   [--no-repeats] [--target NAME] [--di MIN:MAX] [--cd MIN:MAX] [--min-total N]\n"
            "                   [--sort COLUMN[,desc]] [--json]",
            "the best stallions for each mare given, or each filly and mare kept\n"
            "            in the window's \"My horses\" (--stable), 5 each unless --top says;\n"
            "            with --assign one stallion for each: the most mares planned within\n"
            "            the books (N each), then each as near her first row as can be\n"
            "            (--target \"Classic distances\": DI at most 4.00, CD at most 1.25,\n"
            "            or a target saved in a planning window under its name);\n"
            "            --roster: only the stallions of the roster (FILE, or the season\n"
            "            window's own for the data folder), each within his own book",
            kSeasonOptions, season},
    Command{"mares",
            "[--json] --sire NAME [--stable [FILE]] [--min-age N] [--max-age N] [--target NAME]\n"
            "                   [--di MIN:MAX] [--cd MIN:MAX] [--min-total N] [--sort COLUMN[,desc]] [--top N]",
            "the fillies and mares of breeding.txt (or only those kept) ranked by\n"
            "            their foal with the stallion NAME",
            kMaresOptions, mares},
    Command{"find", "[--json] [--limit N] TEXT",
            "the horses whose name holds TEXT: whole names, then starts, then the rest", kFindOptions, find},
    Command{"foals", "[--json] [--averages] SIRE",
            "the profile rows of every horse by SIRE, in file order; --averages adds\n"
            "            the count and average DI and CD on standard error",
            kFoalsOptions, foals},
    Command{"stable", "[--stable FILE] (list | add ID... | remove ID... | confirm ID... | import FILE)",
            "the horses kept in \"My Horses\" as CSV, or changed as the window changes them", kStableOptions, stable},
    Command{"roster",
            "[--roster FILE] (list | add NAME|#ID... [--book N] | remove NAME|#ID... |\n"
            "                   book NAME|#ID N|none)",
            "the stallions of the season window's roster as CSV, or changed as the\n"
            "            window changes them (a book of 0: he stays and covers no mare)",
            kRosterOptions, roster},
};

const char* const kOptionsHelp =
    "\n"
    "  --data-dir DIR  the data folder (default: the first that holds the files of the folder the\n"
    "                  window remembers, ~/pdg and the game's pdg folder in ~/.wine or $WINEPREFIX;\n"
    "                  C:\\PDG\\ on Windows)\n"
    "  --json          one JSON object per line instead of text\n"
    "  --stable [FILE] the horses kept in FILE, or in the window's own file for the data folder\n"
    "  --roster [FILE] the stallions of the roster in FILE, or in the window's own for the folder\n"
    "  --state-folder  keep the stamp file in Quindle's state folder, as the window started from\n"
    "                  the desktop menu does, instead of the working folder\n"
    "  -h, --help      this text, also after a command\n"
    "  -V, --version   the version\n"
    "\n"
    "Options may come anywhere: before or after the command, between operands. Those that take\n"
    "a value take it as --opt VALUE or --opt=VALUE. -- ends the options: what follows it is an\n"
    "operand, even when it starts with -.\n"
    "\n"
    "Exit status: 0 done, 1 not found, not fully read or not fully written, 2 usage or start-up error\n"
    "(season --assign: also a roster file that cannot be read, which is left as it is).\n";

} // namespace

bool Command::takes(std::string_view option) const
{
    return std::find(options.begin(), options.end(), option) != options.end();
}

std::span<const Command> commandTable() { return kCommands; }

const Command* findCommand(std::string_view name)
{
    for (const Command& command : kCommands)
        if (command.name == name)
            return &command;
    return nullptr;
}

std::string usageText()
{
    std::string text;
    for (const Command& command : kCommands) {
        text += text.empty() ? "usage: " : "       ";
        text += "quindle-cli [--data-dir DIR] ";
        text.append(command.name).append(" ").append(command.usage).append("\n");
    }
    return text + "       quindle-cli -h | --help | -V | --version\n";
}

std::string helpText()
{
    std::string text = usageText() + "\n";
    for (const Command& command : kCommands) {
        std::string name(command.name);
        name.resize(std::max<std::size_t>(name.size() + 1, 10), ' ');
        text.append("  ").append(name).append(command.help).append("\n");
    }
    return text + kOptionsHelp;
}

int usageError(const std::string& message)
{
    std::fprintf(stderr, "quindle-cli: %s\n%s", message.c_str(), usageText().c_str());
    return 2;
}

} // namespace quindle::cli

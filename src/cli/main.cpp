// quindle-cli: the main window's answers on the command line, and the profile of
// every horse of the breeding file at once.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "data/data_folder.h"
#include "data/field_reader.h"
#include "data/folder_search.h"
#include "data/system_paths.h"

namespace {

const char* const kUsage =
    "usage: quindle-cli [--data-dir DIR] show [--json] ID...\n"
    "       quindle-cli [--data-dir DIR] mate [--json] SIRE [DAMSIRE [DAMDAMSIRE]]\n"
    "       quindle-cli [--data-dir DIR] profiles [--from ID] [--to ID]\n"
    "       quindle-cli [--data-dir DIR] sires [--json] (--dam ID | [--damsire NAME] [--damdamsire NAME])\n"
    "                   [--di MIN:MAX] [--cd MIN:MAX] [--min-total N] [--sort COLUMN[,desc]] [--top N]\n"
    "       quindle-cli [--data-dir DIR] find [--json] [--limit N] TEXT\n"
    "       quindle-cli [--data-dir DIR] foals [--json] SIRE\n"
    "       quindle-cli --help | --version\n";

const char* const kHelp =
    "\n"
    "  show      the main window's boxes after typing each ID and pressing GO\n"
    "  mate      the main window's boxes after submitting a hypothetical mating\n"
    "  profiles  one CSV row with the profile of every horse of breeding.txt\n"
    "  sires     the foal of every stallion of QN_SireList with one mare, as CSV\n"
    "  find      the horses whose name holds TEXT: whole names, then starts, then the rest\n"
    "  foals     the profile rows of every horse by SIRE, in file order\n"
    "\n"
    "  --data-dir DIR  the data folder (default: the first of ~/pdg and the game's pdg folder\n"
    "                  in ~/.wine or $WINEPREFIX that holds the files; C:\\PDG\\ on Windows)\n"
    "  --json          one JSON object per line instead of text\n"
    "\n"
    "Exit status: 0 done, 1 not found, not fully read or not fully written, 2 usage or start-up error.\n";

int usageError(const std::string& message)
{
    std::fprintf(stderr, "quindle-cli: %s\n%s", message.c_str(), kUsage);
    return 2;
}

// 0 when standard output took everything, else the error of a short answer.
int written()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "quindle-cli: the output could not be written in full\n");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    quindle::setBinaryOutput();
    const std::vector<std::string> args = quindle::programArguments(argc, argv);
    std::size_t i = 0;
    std::string dataDir;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::printf("%s%s", kUsage, kHelp);
            return written();
        }
        if (args[i] == "--version") {
            std::printf("quindle-cli %s\n", QUINDLE_VERSION);
            return written();
        }
        if (args[i] == "--data-dir") {
            if (i + 1 >= args.size())
                return usageError("--data-dir needs a folder");
            dataDir = args[++i];
            continue;
        }
        if (args[i].starts_with("--data-dir=")) {
            dataDir = args[i].substr(11);
            continue;
        }
        break;
    }
    if (i >= args.size())
        return usageError("no command given");
    const std::string command = args[i++];
    using quindle::NumberParse;
    using quindle::parseWholeNumber;

    // Options that take a value, by command; "--opt VALUE" or "--opt=VALUE".
    quindle::cli::SiresOptions sires;
    std::string from, to, limit;
    const std::vector<std::pair<std::string, std::string*>> profilesValues{{"--from", &from}, {"--to", &to}};
    const std::pair<std::string, std::string*> dataDirValue{"--data-dir", &dataDir};
    const std::vector<std::pair<std::string, std::optional<std::string>*>> siresValues{
        {"--dam", &sires.dam}, {"--damsire", &sires.damSire}, {"--damdamsire", &sires.damDamSire},
        {"--di", &sires.di},   {"--cd", &sires.cd},           {"--min-total", &sires.minTotal},
        {"--sort", &sires.sort}, {"--top", &sires.top}};
    bool json = false;
    std::vector<std::string> operands;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            operands.insert(operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (arg.size() < 2 || arg[0] != '-' || arg[1] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--json" && command != "profiles") {
            json = true;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        std::string* target = name == dataDirValue.first ? dataDirValue.second : nullptr;
        if (command == "profiles")
            for (const auto& [option, value] : profilesValues)
                if (name == option)
                    target = value;
        if (command == "find" && name == "--limit")
            target = &limit;
        if (command == "sires")
            for (const auto& [option, value] : siresValues)
                if (name == option)
                    target = &value->emplace();
        if (!target)
            return usageError("unknown option " + arg);
        if (equals != std::string::npos)
            *target = arg.substr(equals + 1);
        else if (i + 1 < args.size())
            *target = args[++i];
        else
            return usageError(name + " needs a value");
    }
    sires.json = json;
    const quindle::DataFolder folder = quindle::chooseDataFolder(dataDir, quindle::hintsFromEnvironment(""));

    if (command == "show") {
        if (operands.empty())
            return usageError("show needs at least one ID");
        return quindle::cli::runShow(folder, operands, json);
    }
    if (command == "mate")
        return quindle::cli::runMate(folder, operands, json);
    if (command == "profiles") {
        if (!operands.empty())
            return usageError("profiles takes no names");
        return quindle::cli::runProfiles(folder, from, to);
    }
    if (command == "sires") {
        if (!operands.empty())
            return usageError("sires takes no operands: give the mare with --dam or --damsire and --damdamsire");
        return quindle::cli::runSires(folder, sires);
    }
    if (command == "find") {
        std::int64_t most = INT64_MAX;
        if (!limit.empty() && (parseWholeNumber(limit, 1, INT64_MAX, most) != NumberParse::Ok))
            return usageError("--limit takes a number of horses, at least 1");
        if (operands.size() != 1)
            return usageError("find takes one TEXT");
        return quindle::cli::runFind(folder, operands[0], static_cast<std::size_t>(most), json);
    }
    if (command == "foals") {
        if (operands.size() != 1)
            return usageError("foals takes one SIRE");
        return quindle::cli::runFoals(folder, operands[0], json);
    }
    return usageError("unknown command " + command);
}

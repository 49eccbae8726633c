// quindle-cli: the main window's answers on the command line, and the profile of
// every horse of the breeding file at once.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "data/data_folder.h"

namespace {

const char* const kUsage =
    "usage: quindle-cli [--data-dir DIR] show [--json] ID...\n"
    "       quindle-cli [--data-dir DIR] mate [--json] SIRE [DAMSIRE [DAMDAMSIRE]]\n"
    "       quindle-cli [--data-dir DIR] profiles [--from ID] [--to ID]\n"
    "       quindle-cli --help | --version\n";

const char* const kHelp =
    "\n"
    "  show      the main window's boxes after typing each ID and pressing GO\n"
    "  mate      the main window's boxes after submitting a hypothetical mating\n"
    "  profiles  one CSV row with the profile of every horse of breeding.txt\n"
    "\n"
    "  --data-dir DIR  the data folder (default: ~/pdg, C:\\PDG\\ on Windows)\n"
    "  --json          one JSON object per line instead of text\n"
    "\n"
    "Exit status: 0 done, 1 not found, not fully read or not fully written, 2 usage or start-up error.\n";

int usageError(const std::string& message)
{
    std::fprintf(stderr, "quindle-cli: %s\n%s", message.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::size_t i = 0;
    std::string dataDir;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::printf("%s%s", kUsage, kHelp);
            return 0;
        }
        if (args[i] == "--version") {
            std::printf("quindle-cli 0.95.05\n");
            return 0;
        }
        if (args[i] == "--data-dir") {
            if (i + 1 >= args.size())
                return usageError("--data-dir needs a folder");
            dataDir = args[++i];
            continue;
        }
        break;
    }
    if (i >= args.size())
        return usageError("no command given");
    const std::string command = args[i++];
    const quindle::DataFolder folder = dataDir.empty() ? quindle::DataFolder::platformDefault()
                                                       : quindle::DataFolder(dataDir);

    bool json = false;
    std::string from, to;
    std::vector<std::string> operands;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json" && command != "profiles") {
            json = true;
        } else if ((arg == "--from" || arg == "--to") && command == "profiles") {
            if (i + 1 >= args.size())
                return usageError(arg + " needs an identifier");
            (arg == "--from" ? from : to) = args[++i];
        } else if (arg == "--") {
            operands.insert(operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            return usageError("unknown option " + arg);
        } else {
            operands.push_back(arg);
        }
    }

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
    return usageError("unknown command " + command);
}

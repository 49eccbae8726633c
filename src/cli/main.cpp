// quindle-cli: the main window's answers on the command line, and the profile of
// every horse of the breeding file at once.
#include <cstdio>
#include <new>
#include <optional>
#include <system_error>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "data/data_folder.h"
#include "data/field_reader.h"
#include "data/folder_search.h"
#include "data/system_paths.h"
#include "startup_cli.h"

namespace {

const char* const kUsage =
    "usage: quindle-cli [--data-dir DIR] show [--json] ID...\n"
    "       quindle-cli [--data-dir DIR] mate [--json] SIRE [DAMSIRE [DAMDAMSIRE]]\n"
    "       quindle-cli [--data-dir DIR] profiles [--from ID] [--to ID]\n"
    "       quindle-cli [--data-dir DIR] sires [--json] (--dam ID | [--damsire NAME] [--damdamsire NAME])\n"
    "                   [--di MIN:MAX] [--cd MIN:MAX] [--min-total N] [--sort COLUMN[,desc]] [--top N]\n"
    "       quindle-cli [--data-dir DIR] find [--json] [--limit N] TEXT\n"
    "       quindle-cli [--data-dir DIR] foals [--json] SIRE\n"
    "       quindle-cli -h | --help | -V | --version\n";

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
    "  -h, --help      this text, also after a command\n"
    "  -V, --version   the version\n"
    "\n"
    "Options may come anywhere: before or after the command, between operands. Those that take\n"
    "a value take it as --opt VALUE or --opt=VALUE. -- ends the options: what follows it is an\n"
    "operand, even when it starts with -.\n"
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

int runCommand(int argc, char** argv);

// Memory or threads the system refuses end the command with a message, never an
// abort: 2 before it started, 1 after. Files being written are removed as the
// exception passes them.
int main(int argc, char** argv)
{
    const char* problem = nullptr;
    try {
        return runCommand(argc, argv);
    } catch (const std::bad_alloc&) {
        problem = "there is not enough memory";
    } catch (const std::system_error& e) {
        problem = e.code() == std::errc::resource_unavailable_try_again ? "no more threads can be started" : e.what();
    }
    std::fflush(stdout);
    std::fprintf(stderr, "quindle-cli: %s to finish the command\n", problem);
    return quindle::cli::startedUp() ? 1 : 2;
}

int runCommand(int argc, char** argv)
{
    quindle::setBinaryOutput();
    using quindle::cli::Arguments;
    const Arguments args = quindle::cli::parseArguments(quindle::programArguments(argc, argv));
    switch (args.action) {
    case Arguments::Action::Help:
        std::printf("%s%s", kUsage, kHelp);
        return written();
    case Arguments::Action::Version:
        std::printf("quindle-cli %s\n", QUINDLE_VERSION);
        return written();
    case Arguments::Action::Error:
        return usageError(args.error);
    case Arguments::Action::Run:
        break;
    }
    const std::string& command = args.command;
    const std::vector<std::string>& operands = args.operands;
    const bool json = args.has("--json");
    const quindle::DataFolder folder =
        quindle::chooseDataFolder(args.value("--data-dir").value_or(""), quindle::hintsFromEnvironment(""));

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
        return quindle::cli::runProfiles(folder, args.value("--from").value_or(""), args.value("--to").value_or(""));
    }
    if (command == "sires") {
        if (!operands.empty())
            return usageError("sires takes no operands: give the mare with --dam or --damsire and --damdamsire");
        quindle::cli::SiresOptions sires;
        sires.json = json;
        for (const auto& [option, value] : {std::pair{"--dam", &sires.dam},
                                            {"--damsire", &sires.damSire},
                                            {"--damdamsire", &sires.damDamSire},
                                            {"--di", &sires.di},
                                            {"--cd", &sires.cd},
                                            {"--min-total", &sires.minTotal},
                                            {"--sort", &sires.sort},
                                            {"--top", &sires.top}})
            *value = args.value(option);
        return quindle::cli::runSires(folder, sires);
    }
    if (command == "find") {
        std::int64_t most = INT64_MAX;
        const std::string limit = args.value("--limit").value_or("");
        if (!limit.empty() && quindle::parseWholeNumber(limit, 1, INT64_MAX, most) != quindle::NumberParse::Ok)
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
    return usageError("unknown command " + command); // parseArguments knows no other
}

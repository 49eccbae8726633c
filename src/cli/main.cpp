// quindle-cli: the main window's answers on the command line, and the profile of
// every horse of the breeding file at once.
#include <cstdio>
#include <new>
#include <optional>
#include <system_error>
#include <string>

#include "arguments.h"
#include "command_table.h"
#include "data/data_folder.h"
#include "data/folder_search.h"
#include "data/remembered_folder.h"
#include "data/system_paths.h"
#include "startup_cli.h"

namespace {

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
        std::fputs(quindle::cli::helpText().c_str(), stdout);
        return written();
    case Arguments::Action::Version:
        std::printf("quindle-cli %s\n", QUINDLE_VERSION);
        return written();
    case Arguments::Action::Error:
        return quindle::cli::usageError(args.error);
    case Arguments::Action::Run:
        break;
    }
    const quindle::DataFolder folder = quindle::chooseDataFolder(
        args.value("--data-dir").value_or(""), quindle::hintsFromEnvironment(quindle::rememberedDataFolder()));
    quindle::cli::keepStampInStateFolder(args.has("--state-folder"));
    // parseArguments lets through only commands of the table
    return quindle::cli::findCommand(args.command)->run(folder, args);
}

#pragma once
// The commands of quindle-cli in one table: each with its name, the usage of
// its operands and options, its line of help, the options it takes and the
// function that runs it. The parser, --help and main read the same table.
#include <span>
#include <string>
#include <string_view>

#include "arguments.h"
#include "data/data_folder.h"

namespace quindle::cli {

struct Command {
    std::string_view name;
    std::string_view usage; // what follows the name in the usage text
    std::string_view help;  // what it does, in one line of --help
    // The options it takes besides --data-dir, --help and --version.
    std::span<const std::string_view> options;
    // Checks the operands and runs it; the process's exit code.
    int (*run)(const DataFolder& folder, const Arguments& args);

    bool takes(std::string_view option) const;
};

std::span<const Command> commandTable();
// nullptr for a name that is no command.
const Command* findCommand(std::string_view name);

// The usage lines, and the whole text of --help.
std::string usageText();
std::string helpText();
// Says what is wrong and how the commands are used, on standard error; exit code 2.
int usageError(const std::string& message);

} // namespace quindle::cli

// The table of commands: every option a command lists is one the parser knows
// and lets through for that command alone, and --help names every command.
#include <gtest/gtest.h>

#include "arguments.h"
#include "command_table.h"

using namespace quindle::cli;

TEST(CommandTable, EachCommandTakesItsOptionsAndNoOther)
{
    const std::vector<std::string> valued = {"--from", "--to", "--limit",     "--dam",  "--damsire", "--damdamsire",
                                             "--di",   "--cd", "--min-total", "--sort", "--top"};
    for (const Command& command : commandTable()) {
        EXPECT_NE(helpText().find("  " + std::string(command.name) + " "), std::string::npos) << command.name;
        EXPECT_NE(usageText().find("] " + std::string(command.name) + " "), std::string::npos) << command.name;
        for (const std::string option : {"--json", "--from", "--limit", "--dam", "--top"}) {
            const bool hasValue = std::find(valued.begin(), valued.end(), option) != valued.end();
            std::vector<std::string> args = {std::string(command.name), option};
            if (hasValue)
                args.push_back("1");
            const Arguments parsed = parseArguments(args);
            if (command.takes(option))
                EXPECT_EQ(parsed.action, Arguments::Action::Run) << command.name << " " << option << parsed.error;
            else
                EXPECT_EQ(parsed.error, std::string(command.name) + " does not take " + option);
        }
        for (const std::string_view option : command.options)
            EXPECT_NE(parseArguments({std::string(command.name), std::string(option), "1"}).action,
                      Arguments::Action::Error)
                << command.name << " lists " << option << ", which the parser does not know";
    }
    EXPECT_EQ(findCommand("nosuch"), nullptr);
}

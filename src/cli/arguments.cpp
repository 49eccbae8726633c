#include "arguments.h"

#include "command_table.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quindle::cli {

namespace {

struct Option {
    std::string_view name;
    std::string_view shortName; // "" when it has none
    const char* needs;          // what its value is, for the message when it is missing; null: it takes none
    bool everyCommand;          // else only the commands that list it
    // The value may be left out: the next argument is taken only when it is no option.
    bool valueOptional = false;
};

constexpr std::array kOptions{
    Option{"--help", "-h", nullptr, true},          Option{"--version", "-V", nullptr, true},
    Option{"--data-dir", "", "a folder", true},     Option{"--json", "", nullptr, false},
    Option{"--from", "", "a value", false},         Option{"--to", "", "a value", false},
    Option{"--limit", "", "a value", false},        Option{"--dam", "", "a value", false},
    Option{"--damsire", "", "a value", false},      Option{"--damdamsire", "", "a value", false},
    Option{"--di", "", "a value", false},           Option{"--cd", "", "a value", false},
    Option{"--min-total", "", "a value", false},    Option{"--sort", "", "a value", false},
    Option{"--top", "", "a value", false},          Option{"--dams", "", "a value", false},
    Option{"--stable", "", "a file", false, true},  Option{"--sire", "", "a value", false},
    Option{"--min-age", "", "a value", false},      Option{"--max-age", "", "a value", false},
    Option{"--assign", "", nullptr, false},         Option{"--book", "", "a value", false},
    Option{"--lock", "", "a value", false},         Option{"--exclude", "", "a value", false},
    Option{"--exclude-pair", "", "a value", false}, Option{"--no-repeats", "", nullptr, false},
    Option{"--target", "", "a value", false},       Option{"--state-folder", "", nullptr, true},
    Option{"--averages", "", nullptr, false},       Option{"--roster", "", "a file", false, true},
};

const Option* findOption(std::string_view name)
{
    for (const Option& option : kOptions)
        if (name == option.name || name == option.shortName)
            return &option;
    return nullptr;
}

bool isOption(const std::string& arg) { return arg.starts_with("--") || arg == "-h" || arg == "-V"; }

Arguments failed(std::string message)
{
    Arguments out;
    out.action = Arguments::Action::Error;
    out.error = std::move(message);
    return out;
}

} // namespace

Arguments parseArguments(const std::vector<std::string>& args)
{
    Arguments out;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (!isOption(arg)) {
            positional.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const Option* option = findOption(name);
        if (!option)
            return failed("unknown option " + name);
        if (!option->needs && equals != std::string::npos)
            return failed(name + " takes no value");
        if (option->name == "--help" || option->name == "--version") {
            out.action = option->name == "--help" ? Arguments::Action::Help : Arguments::Action::Version;
            return out;
        }
        std::string value;
        if (equals != std::string::npos)
            value = arg.substr(equals + 1);
        else if (option->valueOptional && (i + 1 == args.size() || isOption(args[i + 1]) || args[i + 1] == "--" ||
                                           (positional.empty() && findCommand(args[i + 1]))))
            value.clear(); // "--stable season": the command, not a file
        else if (option->needs && i + 1 < args.size())
            value = args[++i];
        else if (option->needs)
            return failed(name + " needs " + option->needs);
        out.options[std::string(option->name)] = value;
        out.repeated[std::string(option->name)].push_back(value);
    }

    if (positional.empty())
        return failed("no command given");
    out.command = positional.front();
    out.operands.assign(positional.begin() + 1, positional.end());
    const Command* command = findCommand(out.command);
    if (!command)
        return failed("unknown command " + out.command);
    for (const auto& given : out.options)
        if (!findOption(given.first)->everyCommand && !command->takes(given.first))
            return failed(out.command + " does not take " + given.first);
    return out;
}

} // namespace quindle::cli

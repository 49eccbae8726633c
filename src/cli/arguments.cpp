#include "arguments.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quindle::cli {

namespace {

constexpr std::array<std::string_view, 8> kCommands{"show", "mate",  "profiles", "sires",
                                                    "find", "foals", "season",   "mares"};
// The commands that take an option, one bit each in the order of kCommands.
enum : unsigned {
    kShow = 1,
    kMate = 2,
    kProfiles = 4,
    kSires = 8,
    kFind = 16,
    kFoals = 32,
    kSeason = 64,
    kMares = 128,
    kEvery = 255,
    kTarget = kSires | kSeason | kMares // the options of a plan's target
};

struct Option {
    std::string_view name;
    std::string_view shortName; // "" when it has none
    const char* needs;          // what its value is, for the message when it is missing; null: it takes none
    unsigned commands;
    // The value may be left out: the next argument is taken only when it is no option.
    bool valueOptional = false;
};

constexpr std::array kOptions{
    Option{"--help", "-h", nullptr, kEvery},
    Option{"--version", "-V", nullptr, kEvery},
    Option{"--data-dir", "", "a folder", kEvery},
    Option{"--json", "", nullptr, kShow | kMate | kSires | kFind | kFoals | kSeason | kMares},
    Option{"--from", "", "a value", kProfiles},
    Option{"--to", "", "a value", kProfiles},
    Option{"--limit", "", "a value", kFind},
    Option{"--dam", "", "a value", kSires},
    Option{"--damsire", "", "a value", kSires},
    Option{"--damdamsire", "", "a value", kSires},
    Option{"--di", "", "a value", kTarget},
    Option{"--cd", "", "a value", kTarget},
    Option{"--min-total", "", "a value", kTarget},
    Option{"--sort", "", "a value", kTarget},
    Option{"--top", "", "a value", kTarget},
    Option{"--dams", "", "a value", kSeason},
    Option{"--stable", "", "a file", kSeason | kMares, true},
    Option{"--sire", "", "a value", kMares},
    Option{"--min-age", "", "a value", kMares},
    Option{"--max-age", "", "a value", kMares},
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
                                           (positional.empty() && std::find(kCommands.begin(), kCommands.end(),
                                                                            args[i + 1]) != kCommands.end())))
            value.clear(); // "--stable season": the command, not a file
        else if (option->needs && i + 1 < args.size())
            value = args[++i];
        else if (option->needs)
            return failed(name + " needs " + option->needs);
        out.options[std::string(option->name)] = value;
    }

    if (positional.empty())
        return failed("no command given");
    out.command = positional.front();
    out.operands.assign(positional.begin() + 1, positional.end());
    const auto command = std::find(kCommands.begin(), kCommands.end(), out.command);
    if (command == kCommands.end())
        return failed("unknown command " + out.command);
    const unsigned bit = 1u << (command - kCommands.begin());
    for (const auto& given : out.options)
        if (!(findOption(given.first)->commands & bit))
            return failed(out.command + " does not take " + given.first);
    return out;
}

} // namespace quindle::cli

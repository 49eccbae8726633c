#pragma once
// The command line of quindle-cli read into a command, its operands and its
// options. Options may come anywhere, before or after the command and between
// operands, as "--opt VALUE" or "--opt=VALUE"; "--" ends them. The only short
// options are -h and -V: any other argument with one leading '-' is an operand
// (an identifier such as "-5" is then refused by name, as the ID box would).
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quindle::cli {

struct Arguments {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string error; // for Error: what is wrong, naming the argument
    std::string command;
    std::vector<std::string> operands;
    // The options given, by their long name; the last of a repeated one counts,
    // and an option without a value holds "".
    std::map<std::string, std::string, std::less<>> options;
    // Every value of each option given, in the order typed, for those that may repeat (--lock).
    std::map<std::string, std::vector<std::string>, std::less<>> repeated;

    bool has(std::string_view option) const { return options.find(option) != options.end(); }
    std::optional<std::string> value(std::string_view option) const
    {
        const auto found = options.find(option);
        return found == options.end() ? std::nullopt : std::optional(found->second);
    }
    std::vector<std::string> values(std::string_view option) const
    {
        const auto found = repeated.find(option);
        return found == repeated.end() ? std::vector<std::string>{} : found->second;
    }
};

// Help and version win as soon as they are met, before anything later is read.
Arguments parseArguments(const std::vector<std::string>& args);

} // namespace quindle::cli

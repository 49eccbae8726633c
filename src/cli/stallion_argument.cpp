#include "stallion_argument.h"

#include <cstdio>

#include "commands.h"

namespace quindle::cli {

namespace {
// The argument in Latin-1, or nullopt, saying nothing.
std::optional<std::string> quietLatin1(const std::string& arg)
{
    std::string out;
    for (std::size_t i = 0; i < arg.size();) {
        const auto b = static_cast<unsigned char>(arg[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < arg.size() &&
                   (static_cast<unsigned char>(arg[i + 1]) & 0xC0) == 0x80) {
            out += static_cast<char>((b & 0x03) << 6 | (static_cast<unsigned char>(arg[i + 1]) & 0x3F));
            i += 2;
        } else {
            return std::nullopt; // past U+00FF, or not UTF-8
        }
    }
    return out;
}
} // namespace

bool isStallionId(const std::string& arg) { return !arg.empty() && arg.front() == '#'; }

std::int32_t stallionIdOf(const std::string& arg)
{
    const std::int32_t id = parseIdentifier(arg.substr(1));
    if (id == 0)
        std::fprintf(stderr, "quindle-cli: \"%s\": a stallion of the breeding file is written #ID (1 to 6 digits)\n",
                     arg.c_str());
    return id;
}

std::optional<RecordStallion> stallionOfArgument(const DataFolder& folder, std::int32_t id)
{
    const StallionLookup found = findStallion(folder, id);
    if (found.status != Outcome::Done) {
        std::fprintf(stderr, "quindle-cli: %s\n", found.error.c_str());
        return std::nullopt;
    }
    return found.stallion;
}

std::optional<std::string> listedNameArgument(const std::string& arg,
                                              const std::function<bool(std::string_view)>& listed)
{
    if (const auto latin1 = quietLatin1(arg); latin1 && !latin1->empty() && listed(*latin1))
        return latin1;
    return nameArgument(arg);
}

bool mayBeListed(const std::string& arg) { return quietLatin1(arg).has_value(); }

} // namespace quindle::cli

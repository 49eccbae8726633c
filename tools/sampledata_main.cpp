// quindle-sampledata DIR [--horses N] [--seed S] [--sires N] [--quote-all]: writes an invented data folder.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "data/system_paths.h"
#include "sample_data.h"

namespace {
int usage()
{
    std::fprintf(stderr, "usage: quindle-sampledata DIR [--horses N] [--seed S] [--sires N] [--quote-all]\n");
    return 2;
}

bool parseCount(const char* text, unsigned long long& value)
{
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return end && *end == '\0' && *text >= '0' && *text <= '9';
}
} // namespace

int main(int argc, char** argv)
{
    quindle::sample::Options options;
    std::string dir;
    const std::vector<std::string> args = quindle::programArguments(argc, argv);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        unsigned long long value = 0;
        if ((arg == "--horses" || arg == "--seed" || arg == "--sires") && i + 1 < args.size() &&
            parseCount(args[i + 1].c_str(), value)) {
            if (arg == "--horses")
                options.horses = static_cast<std::int64_t>(value);
            else if (arg == "--sires")
                options.sires = static_cast<std::int64_t>(value);
            else
                options.seed = value;
            ++i;
        } else if (arg == "--quote-all") {
            options.quoteAll = true;
        } else if (dir.empty() && !arg.empty() && arg[0] != '-') {
            dir = arg;
        } else {
            return usage();
        }
    }
    if (dir.empty())
        return usage();
    try {
        quindle::sample::writeDataFolder(dir, options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quindle-sampledata: %s\n", e.what());
        return 1;
    }
    return 0;
}

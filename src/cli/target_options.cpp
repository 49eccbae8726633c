#include "target_options.h"

#include <charconv>
#include <cstdio>

namespace quindle::cli {

namespace {

std::optional<std::size_t> parseCount(const std::string& text)
{
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The player's saved targets; a damaged file is named and none are taken from it.
SavedTargets playerTargets()
{
    SavedTargetsRead read = readSavedTargets(savedTargetsFile());
    if (read.status == Outcome::Failed)
        std::fprintf(stderr, "quindle-cli: your saved targets could not be read: %s\n", read.error.c_str());
    return std::move(read.saved);
}

} // namespace

void readTargetOptions(const Arguments& args, TargetOptions& options)
{
    for (const auto& [option, value] : {std::pair{"--di", &options.di},
                                        {"--cd", &options.cd},
                                        {"--min-total", &options.minTotal},
                                        {"--sort", &options.sort},
                                        {"--top", &options.top},
                                        {"--target", &options.target}})
        *value = args.value(option);
}

int badArgument(const char* command, const std::string& option, const std::string& value, const char* expected)
{
    std::fprintf(stderr, "quindle-cli: %s %s \"%s\": %s\n", command, option.c_str(), value.c_str(), expected);
    return 2;
}

std::optional<std::string> sortKey(const char* command, const std::string& sort, bool& descending)
{
    const auto comma = sort.find(',');
    if (comma == std::string::npos)
        return sort;
    const std::string order = sort.substr(comma + 1);
    if (order != "desc" && order != "asc") {
        badArgument(command, "--sort", sort, "the order after the comma is desc or asc");
        return std::nullopt;
    }
    descending = order == "desc";
    return sort.substr(0, comma);
}

std::optional<PlanQuery> planQueryOf(const char* command, const TargetOptions& options,
                                     std::optional<SavedTarget>* named)
{
    const auto bad = [command](const std::string& option, const std::string& value, const char* expected) {
        badArgument(command, option, value, expected);
        return std::nullopt;
    };
    PlanQuery query;
    if (options.target) {
        const SavedTargets saved = playerTargets();
        const auto target = findTarget(*options.target, saved);
        if (!target)
            return bad("--target", *options.target, ("unknown target (" + targetNames(saved) + ")").c_str());
        applyTarget(*target, query);
        if (named)
            *named = target;
    }
    if (options.di && !(query.di = parseRange(*options.di)))
        return bad("--di", *options.di, "expected MIN:MAX, either side may be empty, MAX may be INF");
    if (options.cd && !(query.cd = parseRange(*options.cd)))
        return bad("--cd", *options.cd, "expected MIN:MAX, either side may be empty");
    if (options.minTotal) {
        const auto total = parseCount(*options.minTotal);
        if (!total)
            return bad("--min-total", *options.minTotal, "expected a whole number of points");
        query.minTotal = static_cast<double>(*total);
    }
    if (options.sort) {
        query.descending = false; // the order typed, not the named target's
        if (!readSort(command, *options.sort, parseColumn,
                      "sire, siresire, siredamsire, B, I, C, S, P, total, speed, stamina, cd, di", query.sortBy,
                      query.descending))
            return std::nullopt;
    }
    if (options.top && !(query.top = parseCount(*options.top)))
        return bad("--top", *options.top, "expected a whole number of rows");
    return query;
}

} // namespace quindle::cli

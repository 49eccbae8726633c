// quindle-cli sires: the foal of every stallion of the sire list with one mare.
#include <charconv>
#include <cstdio>
#include <memory>

#include "commands.h"
#include "data/sire_list.h"
#include "output.h"
#include "export/plan_csv.h"
#include "planner/plan_query.h"
#include "planner/sire_plan.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

int badArgument(const char* command, const std::string& option, const std::string& value, const char* expected)
{
    std::fprintf(stderr, "quindle-cli: %s %s \"%s\": %s\n", command, option.c_str(), value.c_str(), expected);
    return 2;
}

std::optional<std::size_t> parseCount(const std::string& text)
{
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<PlanQuery> planQueryOf(const char* command, const TargetOptions& options)
{
    const auto badArgument = [command](const std::string& option, const std::string& value, const char* expected) {
        return quindle::cli::badArgument(command, option, value, expected);
    };
    PlanQuery query;
    if (options.di && !(query.di = parseRange(*options.di))) {
        badArgument("--di", *options.di, "expected MIN:MAX, either side may be empty, MAX may be INF");
        return std::nullopt;
    }
    if (options.cd && !(query.cd = parseRange(*options.cd))) {
        badArgument("--cd", *options.cd, "expected MIN:MAX, either side may be empty");
        return std::nullopt;
    }
    if (options.minTotal) {
        const auto total = parseCount(*options.minTotal);
        if (!total) {
            badArgument("--min-total", *options.minTotal, "expected a whole number of points");
            return std::nullopt;
        }
        query.minTotal = static_cast<double>(*total);
    }
    if (options.sort) {
        std::string key = *options.sort;
        const auto comma = key.find(',');
        if (comma != std::string::npos) {
            const std::string order = key.substr(comma + 1);
            if (order != "desc" && order != "asc") {
                badArgument("--sort", *options.sort, "the order after the comma is desc or asc");
                return std::nullopt;
            }
            query.descending = order == "desc";
            key.resize(comma);
        }
        if (!(query.sortBy = parseColumn(key))) {
            badArgument("--sort", *options.sort,
                        "unknown column (sire, siresire, siredamsire, B, I, C, S, P, total, speed, stamina, cd, di)");
            return std::nullopt;
        }
    }
    if (options.top && !(query.top = parseCount(*options.top))) {
        badArgument("--top", *options.top, "expected a whole number of rows");
        return std::nullopt;
    }
    return query;
}

int runSires(const DataFolder& folder, const SiresOptions& options)
{
    if (options.dam && (options.damSire || options.damDamSire)) {
        std::fprintf(stderr, "quindle-cli: sires takes either --dam or --damsire and --damdamsire, not both\n");
        return 2;
    }
    std::int32_t damId = 0;
    if (options.dam && (damId = parseIdentifier(*options.dam)) == 0)
        return badArgument("sires", "--dam", *options.dam, "not a horse identifier (1 to 6 digits, not 0)");
    MareLines mare;
    for (const auto& [given, name] :
         {std::pair{&options.damSire, &mare.damSire}, {&options.damDamSire, &mare.damDamSire}}) {
        if (!*given)
            continue;
        const auto accepted = nameArgument(**given);
        if (!accepted)
            return 2;
        *name = *accepted;
    }
    const auto query = planQueryOf("sires", options);
    if (!query)
        return 2;

    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    if (options.dam) {
        const MareLookup found = findMare(folder, damId);
        if (found.status != MareLookup::Status::Found) {
            std::fprintf(stderr, "quindle-cli: %s\n", found.message.c_str());
            return 1;
        }
        mare = found.lines;
    }
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    const Plan plan = planMatings(sires, mare, *chefs);

    Out out;
    if (!options.json)
        out.write(kPlanCsvHeader);
    PlanCsvWriter csv(plan);
    for (const std::uint32_t i : selectRows(plan, *query))
        out.write(options.json ? planRowJson(plan, plan.rows[i]) : csv.row(plan.rows[i]));
    if (!out.finish())
        return outputFailed();
    if (!sires->error().empty()) {
        std::fprintf(stderr, "quindle-cli: the sire list could not be read to the end: %s\n", sires->error().c_str());
        return 1;
    }
    return 0;
}

} // namespace quindle::cli

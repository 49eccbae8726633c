// quindle-cli mares: the fillies and mares ranked by their foal with one stallion.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <tuple>
#include <utility>

#include "app/mares_for.h"
#include "commands.h"
#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/sire_list.h"
#include "dosage/repeated_sires.h"
#include "output.h"
#include "planner/best_mares.h"
#include "export/mare_csv.h"
#include "export/plan_csv.h"
#include "export/text_forms.h"
#include "stable/stable_check.h"
#include "stable_option.h"
#include "stallion_argument.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

// The query from the options; nullopt after naming the bad one.
std::optional<MaresQuery> maresQueryOf(const MaresOptions& options)
{
    TargetOptions target = options;
    target.sort.reset(); // the mares' columns are not the planner's
    std::optional<SavedTarget> named;
    const auto plan = planQueryOf("mares", target, &named);
    if (!plan)
        return std::nullopt;
    MaresQuery query;
    query.di = plan->di;
    query.cd = plan->cd;
    query.minTotal = plan->minTotal;
    query.top = plan->top;
    for (const auto& [given, bound, option] :
         {std::tuple{&options.minAge, &query.minAge, "--min-age"}, {&options.maxAge, &query.maxAge, "--max-age"}}) {
        std::int64_t age = 0;
        if (!*given)
            continue;
        if (parseWholeNumber(**given, 0, INT32_MAX, age) != NumberParse::Ok) {
            badArgument("mares", option, **given, "expected a whole number of years");
            return std::nullopt;
        }
        *bound = static_cast<std::int32_t>(age);
    }
    if (named && named->sort && !options.sort) // a saved order, when the mares have that column
        if ((query.sortBy = parseMareColumn(*named->sort)))
            query.descending = named->descending;
    if (options.sort &&
        !readSort("mares", *options.sort, parseMareColumn,
                  "id, name, age, sex, damsire, damdamsire, B, I, C, S, P, total, speed, stamina, cd, di", query.sortBy,
                  query.descending))
        return std::nullopt;
    return query;
}

// One JSON object: her texts, the foal's names as a mating shows them in
// Text3 .. Text9, the profile boxes 35 to 44 as the window shows them, and the
// repeated sires.
std::string mareJson(const BestMares& mares, const MareRow& row)
{
    static constexpr const char* kTextKeys[] = {"name", "age", "sex"}; // her Sire and Dam-Sire are the foal's
    static constexpr const char* kFoalKeys[] = {"sire",        "siresire",    "damsire",   "siresiresire",
                                                "siredamsire", "damsiresire", "damdamsire"};
    std::string out = "{\"id\":" + std::to_string(row.id);
    for (int t = 0; t < 3; ++t)
        out += std::string(",\"") + kTextKeys[t] +
               "\":" + jsonString(latin1ToUtf8(mares.textOf(row, static_cast<MareText>(t))));
    const AncestorViews lineage = mares.lineage(row);
    out += ",\"foal\":{";
    for (std::size_t i = 0; i < lineage.size(); ++i)
        out += (i ? ",\"" : "\"") + std::string(kFoalKeys[i]) + "\":" + jsonString(latin1ToUtf8(lineage[i]));
    out += "}";
    out += summaryJsonMembers(mares.numbersOf(row).summary);
    return out + ",\"repeats\":" + repeatsJson(repeatedSires(lineage)) + "}\n";
}

// The stallion --sire names as a name of the sire list; false after saying what is wrong.
bool nameListed(const std::string& sire, const SireIndex& sires, MaresAsked& asked)
{
    const auto name = listedNameArgument(sire, [&](std::string_view typed) { return sires.find(typed).entries; });
    if (!name)
        return false;
    if (name->empty()) {
        std::fprintf(stderr, "quindle-cli: mares needs the name of a stallion\n");
        return false;
    }
    asked.stallion = *name;
    return true;
}

// Only the fillies and mares of the stable file at `path`: read once the
// stallion is known, what is wrong said and `stopped` set to the exit status.
void onlyOfStable(MaresAsked& asked, const std::string& path, int& stopped)
{
    asked.onlyOf = [&path, &stopped]() -> std::optional<Stable> {
        StableRead read = readStableFile(path);
        if (read.status == Outcome::Done)
            return std::move(read.stable);
        stopped = read.status == Outcome::Absent ? 1 : 2; // none kept yet is not a usage error
        return std::nullopt;
    };
}

// What the options ask before start-up: the stallion by "#ID" (0 for a name),
// the query and the stable file; nullopt after saying what is wrong.
struct MaresCall {
    std::int32_t stallionId = 0;
    MaresQuery query;
    std::optional<std::string> stablePath;
};
std::optional<MaresCall> maresCallOf(const DataFolder& folder, const MaresOptions& options)
{
    if (!options.sire) {
        std::fprintf(stderr, "quindle-cli: mares needs the stallion: --sire NAME\n");
        return std::nullopt;
    }
    MaresCall call;
    if (isStallionId(*options.sire) && (call.stallionId = stallionIdOf(*options.sire)) == 0)
        return std::nullopt;
    // A name no sire list can hold is refused before start-up; the others wait for the list.
    if (!call.stallionId && !mayBeListed(*options.sire) && !nameArgument(*options.sire))
        return std::nullopt;
    const auto query = maresQueryOf(options);
    if (!query)
        return std::nullopt;
    call.query = *query;
    if (options.stable && !(call.stablePath = stablePathOf(folder, *options.stable)))
        return std::nullopt;
    return call;
}

} // namespace

int runMares(const DataFolder& folder, const MaresOptions& options)
{
    const std::optional<MaresCall> call = maresCallOf(folder, options);
    if (!call)
        return 2;
    const std::int32_t stallionId = call->stallionId;
    const MaresQuery* query = &call->query;
    const std::optional<std::string>& stablePath = call->stablePath;

    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    MaresAsked asked;
    if (stallionId) {
        const auto found = stallionOfArgument(folder, stallionId);
        if (!found)
            return 2;
        asked.fromFile = std::make_shared<const RecordStallion>(*found);
        asked.stallion = found->name;
    }
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    if (!stallionId && !nameListed(*options.sire, *sires, asked))
        return 2;
    int stopped = 0;
    if (stablePath)
        onlyOfStable(asked, *stablePath, stopped);
    Out out;
    asked.chosen = [&](const MaresChosen& chosen) {
        for (const std::string& message : chosen.leftOut)
            sayError(message);
        if (stablePath && chosen.only->empty() && chosen.leftOut.empty())
            sayNoMareKept(*stablePath);
        if (!options.json)
            out.write(kMareCsvHeader);
    };
    // The rows of one part, chosen by the query, as text.
    const auto text = [&](const BestMares& mares, const std::vector<std::uint32_t>& shown) {
        std::string rows;
        rows.reserve(shown.size() * 100); // most rows are shorter
        MareCsvWriter csv(mares);
        for (const std::uint32_t i : shown)
            rows += options.json ? mareJson(mares, mares.rows[i]) : csv.row(mares.rows[i]);
        return rows;
    };
    bool written = false;
    // Sorted or cut, every row is needed before the first is written; in file
    // order the rows go out piece by piece as they are read, and nothing is kept.
    const bool whole = query->sortBy || query->top;
    if (!whole) {
        asked.sink.format = [&](const BestMares& part) { return text(part, selectMares(part, *query)); };
        asked.sink.write = [&](std::string_view rows) {
            written |= !rows.empty(); // every row ends a line
            out.writeLarge(rows);
            return !out.failed();
        };
    }
    const MaresRanked ranked = bestMaresFor(folder, *chefs, sires, asked);
    if (ranked.status != Outcome::Done) {
        if (stopped)
            return stopped;
        sayError(ranked.error +
                 (ranked.status == Outcome::Absent && !sires->error().empty() ? ": " + sires->error() : std::string()));
        return ranked.status == Outcome::Absent ? 1 : 2;
    }
    if (whole) {
        const auto shown = selectMares(*ranked.mares, *query);
        written = !shown.empty();
        out.writeLarge(text(*ranked.mares, shown));
    }
    if (!out.finish())
        return outputFailed();
    for (const std::string& warning : ranked.warnings)
        sayError(warning);
    return written && ranked.warnings.empty() ? 0 : 1;
}

} // namespace quindle::cli

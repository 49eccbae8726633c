// quindle-cli mares: the fillies and mares ranked by their foal with one stallion.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <tuple>
#include <utility>

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

// The identifiers of the stable's fillies and mares, sorted. A kept horse that
// cannot be used is named on standard error; so is a stable at `path` that
// keeps no filly or mare at all.
std::vector<std::int32_t> stableMares(const DataFolder& folder, const Stable& stable, const std::string& path)
{
    const std::vector<CheckedHorse> horses = checkStable(stable, folder);
    bool leftOut = false;
    for (const CheckedHorse& horse : horses)
        if (!horse.usable()) {
            sayError(horse.message);
            leftOut = true;
        }
    std::vector<std::int32_t> ids = mareIdsOf(horses);
    if (ids.empty() && !leftOut)
        sayNoMareKept(path);
    return ids;
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

} // namespace

int runMares(const DataFolder& folder, const MaresOptions& options)
{
    if (!options.sire) {
        std::fprintf(stderr, "quindle-cli: mares needs the stallion: --sire NAME\n");
        return 2;
    }
    std::int32_t stallionId = 0;
    if (isStallionId(*options.sire) && (stallionId = stallionIdOf(*options.sire)) == 0)
        return 2;
    // A name no sire list can hold is refused before start-up; the others wait for the list.
    if (!stallionId && !mayBeListed(*options.sire) && !nameArgument(*options.sire))
        return 2;
    const auto query = maresQueryOf(options);
    if (!query)
        return 2;
    std::optional<std::string> stablePath;
    if (options.stable && !(stablePath = stablePathOf(folder, *options.stable)))
        return 2;

    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    std::shared_ptr<const RecordStallion> fromFile;
    if (stallionId) {
        const auto found = stallionOfArgument(folder, stallionId);
        if (!found)
            return 2;
        fromFile = std::make_shared<const RecordStallion>(*found);
    }
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    std::string stallion;
    if (fromFile) {
        stallion = fromFile->name;
    } else {
        const auto name =
            listedNameArgument(*options.sire, [&](std::string_view typed) { return sires->find(typed).entries; });
        if (!name)
            return 2;
        if (name->empty()) {
            std::fprintf(stderr, "quindle-cli: mares needs the name of a stallion\n");
            return 2;
        }
        stallion = *name;
    }
    if (!fromFile && !sires->find(stallion).entries) {
        // Past a damaged entry nothing is read, so he may be there all the same.
        if (sires->error().empty())
            std::fprintf(stderr, "quindle-cli: %s is not in the sire list\n", latin1ForMessage(stallion).c_str());
        else
            std::fprintf(stderr, "quindle-cli: %s is not in what could be read of the sire list: %s\n",
                         latin1ForMessage(stallion).c_str(), sires->error().c_str());
        return 1;
    }
    std::optional<std::vector<std::int32_t>> only;
    if (stablePath) {
        const StableRead read = readStableFile(*stablePath);
        if (read.status != Outcome::Done)
            return read.status == Outcome::Absent ? 1 : 2; // none kept yet is not a usage error
        only = stableMares(folder, read.stable, *stablePath);
    }

    Out out;
    if (!options.json)
        out.write(kMareCsvHeader);
    // The rows of one part, chosen by the query, as text.
    const auto text = [&](const BestMares& mares, const std::vector<std::uint32_t>& shown) {
        std::string rows;
        rows.reserve(shown.size() * 100); // most rows are shorter
        MareCsvWriter csv(mares);
        for (const std::uint32_t i : shown)
            rows += options.json ? mareJson(mares, mares.rows[i]) : csv.row(mares.rows[i]);
        return rows;
    };
    const std::vector<std::int32_t>* ids = only ? &*only : nullptr;
    bool written = false;
    BestMares mares;
    try {
        if (query->sortBy || query->top) {
            // Sorted or cut: every row is needed before the first is written.
            mares = fromFile ? bestMares(folder.breedingFile(), sires, fromFile, *chefs, ids)
                             : bestMares(folder.breedingFile(), sires, stallion, *chefs, ids);
            const auto shown = selectMares(mares, *query);
            written = !shown.empty();
            out.writeLarge(text(mares, shown));
        } else {
            // In file order the rows go out piece by piece as they are read, and nothing is kept.
            MaresSink sink;
            sink.format = [&](const BestMares& part) { return text(part, selectMares(part, *query)); };
            sink.write = [&](std::string_view rows) {
                written |= !rows.empty(); // every row ends a line
                out.writeLarge(rows);
                return !out.failed();
            };
            mares = fromFile ? bestMares(folder.breedingFile(), sires, fromFile, *chefs, ids, 0, sink)
                             : bestMares(folder.breedingFile(), sires, stallion, *chefs, ids, 0, sink);
        }
    } catch (const FileError& e) {
        sayError(e.what());
        return 2;
    }
    if (!out.finish())
        return outputFailed();
    int status = written ? 0 : 1;
    for (const std::string* error : {&std::as_const(mares.error), &sires->error()})
        if (!error->empty()) {
            sayError(*error);
            status = 1;
        }
    return status;
}

} // namespace quindle::cli

// quindle-cli sires: the foal of every stallion of the sire list with one mare.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/mare_plan.h"
#include "commands.h"
#include "data/sire_list.h"
#include "output.h"
#include "export/plan_csv.h"
#include "planner/plan_query.h"
#include "planner/repeated_stallions.h"
#include "planner/sire_plan.h"
#include "stallion_argument.h"
#include "startup_cli.h"

namespace quindle::cli {

int runSires(const DataFolder& folder, const SiresOptions& options)
{
    if (options.dam && (options.damSire || options.damDamSire)) {
        std::fprintf(stderr, "quindle-cli: sires takes either --dam or --damsire and --damdamsire, not both\n");
        return 2;
    }
    std::int32_t damId = 0;
    if (options.dam && (damId = parseIdentifier(*options.dam)) == 0)
        return badArgument("sires", "--dam", *options.dam, "not a horse identifier (1 to 6 digits, not 0)");
    // A name no sire list can hold is refused before start-up; the others wait for the list.
    for (const auto* given : {&options.damSire, &options.damDamSire})
        if (*given && !mayBeListed(**given) && !nameArgument(**given))
            return 2;
    const auto query = planQueryOf("sires", options);
    if (!query)
        return 2;

    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    MareAsked asked{damId, {}};
    std::shared_ptr<const SireIndex> sires; // with --dam, read once she is found
    if (!options.dam) {
        SireList list = readSireList(folder.sireList());
        const auto listed = [&](std::string_view name) {
            return std::any_of(list.entries.begin(), list.entries.end(),
                               [&](const SireListView& entry) { return entry.name == name; });
        };
        for (const auto& [given, name] :
             {std::pair{&options.damSire, &asked.typed.damSire}, {&options.damDamSire, &asked.typed.damDamSire}}) {
            if (!*given)
                continue;
            const auto accepted = listedNameArgument(**given, listed);
            if (!accepted)
                return 2;
            *name = *accepted;
        }
        warnUnknownSires(list, {asked.typed.damSire, asked.typed.damDamSire});
        sires = std::make_shared<const SireIndex>(std::move(list));
    }
    const MarePlan planned = planForMare(folder, *chefs, asked, sires);
    if (planned.status != Outcome::Done) {
        sayError(planned.error);
        return 1;
    }
    // One row for each name: say which names stand more than once, and which line counts.
    if (!planned.counts.repeated.empty()) {
        std::fprintf(stderr, "quindle-cli: QN_SireList: %s\n", countsText(planned.counts).c_str());
        for (const RepeatedStallion& repeated : planned.counts.repeated)
            std::fprintf(stderr, "quindle-cli: %s\n", repeatedText(repeated).c_str());
    }

    Out out;
    if (!options.json)
        out.write(kPlanCsvHeader);
    const Plan& plan = *planned.plan;
    PlanCsvWriter csv(plan);
    for (const std::uint32_t i : selectRows(plan, *query))
        out.write(options.json ? planRowJson(plan, plan.rows[i]) : csv.row(plan.rows[i]));
    if (!out.finish())
        return outputFailed();
    if (!planned.listError.empty()) {
        std::fprintf(stderr, "quindle-cli: the sire list could not be read to the end: %s\n",
                     planned.listError.c_str());
        return 1;
    }
    return 0;
}

} // namespace quindle::cli

// A mare's target found from the stallions' and her sums, against her whole
// plan made foal by foal, on random sire lists, chef tables, mares and targets;
// and a season given new targets from the same sums.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "dosage/repeated_sires.h"
#include "planner/foal_sums.h"
#include "planner/plan_query.h"
#include "planner/season.h"
#include "planner/sire_plan.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {

// Few names, so that stallions are listed up to five times, lead each other's
// lines, and share chef rows through what their names hold before a "(".
const std::vector<std::string> kNames{"", "A", "B", "C", "D", "E", "A (GB)", "F", "G", "NOT LISTED"};

std::string randomList(std::mt19937& random)
{
    const auto pick = [&](std::size_t from) {
        return kNames[std::uniform_int_distribution<std::size_t>(from, kNames.size() - 1)(random)];
    };
    std::string list;
    const int lines = std::uniform_int_distribution<int>(1, 16)(random);
    for (int l = 0; l < lines; ++l) {
        // Listed names, sometimes a blank one; lines any name, or one of their own.
        std::string name = random() % 12 == 0 ? "" : pick(1);
        if (name == "NOT LISTED")
            name = "H";
        list += name + "," + pick(0) + "," + (random() % 3 == 0 ? "OWN" + std::to_string(l) : pick(0)) + "," + pick(0) +
                "\r\n";
    }
    return list;
}

ChefTable randomChefs(std::mt19937& random)
{
    std::vector<ChefEntry> rows;
    for (const char* name : {"", "A", "B", "C", "D", "E", "F", "G", "H", "OWN1", "OWN2", "OWN5"}) {
        if (random() % 3 == 0)
            continue;
        ChefEntry row{name, {}};
        for (auto& points : row.points)
            points = static_cast<std::int16_t>(random() % 3 == 0 ? random() % 9 : 0);
        rows.push_back(row);
    }
    std::shuffle(rows.begin(), rows.end(), random);
    return ChefTable(std::move(rows));
}

PlanQuery randomQuery(std::mt19937& random)
{
    PlanQuery query;
    const auto maybe = [&](std::optional<double> value) { return random() % 2 == 0 ? value : std::nullopt; };
    if (random() % 3 == 0)
        query.di = ValueRange{maybe(0.5 * static_cast<double>(random() % 5)), maybe(1.0 + random() % 4)};
    if (random() % 3 == 0)
        query.cd = ValueRange{maybe(-0.5), maybe(0.25 * static_cast<double>(random() % 5))};
    if (random() % 4 == 0)
        query.minTotal = static_cast<double>(random() % 20);
    if (random() % 6 == 0)
        query.nameContains = random() % 2 == 0 ? "a" : "B";
    if (random() % 5 != 0)
        query.sortBy = static_cast<PlanColumn>(random() % kPlanColumns);
    query.descending = random() % 2 == 0;
    if (random() % 2 == 0)
        query.top = 1 + random() % 5;
    return query;
}

} // namespace

TEST(FoalSums, EveryTargetIsTheWholePlansRowsAndTheRowsKeptAreItsRows)
{
    std::mt19937 random(2026);
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    for (int round = 0; round < 300; ++round) {
        const std::string list = randomList(random);
        writeFile(path, list);
        const ChefTable chefs = randomChefs(random);
        const auto index = std::make_shared<const SireIndex>(readSireList(path));
        const auto listChefs = std::make_shared<const ListChefs>(index, chefs);
        const StallionSides sides(listChefs);
        ASSERT_EQ(sides.count(), index->stallions().size());
        for (const std::string& damSire : kNames)
            for (const std::string& damDamSire : {std::string(), std::string("B"), std::string("OWN1")}) {
                const MareLines mare{damSire, damDamSire};
                const Plan whole = planMatings(*listChefs, mare);
                const MareSums sums = mareSumsOf(sides, mare);
                SCOPED_TRACE(list + "mare by " + damSire + " / " + damDamSire);

                GroupTotals largest{};
                for (const PlanNumbers& numbers : whole.numbers)
                    for (std::size_t g = 0; g < largest.size(); ++g)
                        largest[g] = std::max(largest[g], numbers.totals[g]);
                for (int q = 0; q < 4; ++q) {
                    const PlanQuery query = randomQuery(random);
                    const FoalSelection selected = selectFoals(sides, sums, mare, query);
                    ASSERT_EQ(selected.stallions, selectRows(whole, query)) << "query " << round << "." << q;
                    EXPECT_EQ(selected.largest, largest);
                }

                // The rows made for some stallions alone are those of the whole plan.
                std::vector<std::uint32_t> some;
                for (std::uint32_t i = 0; i < whole.rows.size(); ++i)
                    if (random() % 2 == 0)
                        some.insert(some.begin(), i);
                const Plan part = planMatingsOf(*listChefs, mare, some);
                ASSERT_EQ(part.rows.size(), some.size());
                for (std::size_t k = 0; k < some.size(); ++k) {
                    const PlanRow& mine = part.rows[k];
                    const PlanRow& theirs = whole.rows[some[k]];
                    EXPECT_EQ(part.lineage(mine), whole.lineage(theirs));
                    EXPECT_EQ(part.numbersOf(mine).csv, whole.numbersOf(theirs).csv);
                }
            }
    }
}

// The window's way: a season planned once, then given new targets and rules
// from the mares' sums, each mare's rows those of her whole plan.
TEST(FoalSums, ANewTargetOverTheSameMaresGivesTheRowsOfTheirWholePlans)
{
    std::mt19937 random(45);
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    for (int round = 0; round < 100; ++round) {
        const std::string list = randomList(random);
        writeFile(path, list);
        const ChefTable chefs = randomChefs(random);
        const auto index = std::make_shared<const SireIndex>(readSireList(path));
        std::vector<CheckedHorse> horses;
        for (int id = 1; id <= 6; ++id) {
            CheckedHorse horse;
            horse.status = CheckedHorse::Status::Same;
            horse.horse.id = id;
            horse.horse.name = "MARE " + std::to_string(id);
            horse.horse.sex = "Mare";
            horse.horse.sire = kNames[random() % kNames.size()];
            horse.horse.damSire = kNames[random() % kNames.size()];
            horses.push_back(horse);
        }
        SeasonPlan season = planStableSeason(horses, index, chefs, randomQuery(random));
        ASSERT_EQ(season.dams.size(), horses.size());
        SCOPED_TRACE(list);
        for (int q = 0; q < 4; ++q) {
            PlanQuery query = randomQuery(random);
            const bool decided = q % 2 == 1, noRepeats = random() % 2 == 0;
            if (decided)
                query.top.reset();
            const std::optional<std::uint32_t> book = 1 + random() % 3;
            selectSeason(season, query, decided ? keepHeadOfList(horses.size(), book, noRepeats) : keepTargetRows);
            for (const SeasonDam& dam : season.dams) {
                const Plan whole = planMatings(index, dam.lines, chefs);
                std::vector<std::uint32_t> expected;
                for (const std::uint32_t r : selectRows(whole, query))
                    if (!decided || !noRepeats || repeatedSires(whole.lineage(whole.rows[r])).empty())
                        expected.push_back(r);
                if (decided)
                    expected.resize(std::min<std::size_t>(expected.size(), (horses.size() + *book - 1) / *book));
                ASSERT_EQ(dam.rows.size(), expected.size()) << "mare " << dam.id << ", query " << q;
                for (std::size_t k = 0; k < expected.size(); ++k) {
                    const PlanRow& row = dam.plan.rows[dam.rows[k]];
                    EXPECT_EQ(dam.stallion(dam.rows[k]), expected[k]);
                    EXPECT_EQ(dam.plan.lineage(row), whole.lineage(whole.rows[expected[k]]));
                    EXPECT_EQ(dam.plan.numbersOf(row).csv, whole.numbersOf(whole.rows[expected[k]]).csv);
                }
            }
        }
    }
}

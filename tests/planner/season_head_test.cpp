// The head of each mare's list that the season window keeps plans the mares
// as well as their whole lists, on small random seasons.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "planner/season.h"
#include "planner/season_assign.h"

using namespace quindle;

TEST(SeasonHead, TheHeadKeptPlansAsManyMaresWithTheSameRanksAsTheWholeLists)
{
    std::mt19937 random(45);
    const auto below = [&](std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random); };
    std::size_t cut = 0; // seasons where the head was shorter than some list
    for (int round = 0; round < 2000; ++round) {
        const std::size_t mares = 1 + below(9);
        const std::uint32_t stallions = 1 + below(below(2) == 0 ? 5 : 12); // few: the heads meet
        AssignRules rules;
        if (below(4) != 0)
            rules.bookForAll = below(5);
        std::vector<AssignMare> whole(mares), head(mares);
        const SeasonKeep keep = keepHeadOfList(mares, rules.bookForAll, false);
        for (std::size_t m = 0; m < mares; ++m) {
            SeasonDam dam;
            dam.rows.resize(stallions);
            std::iota(dam.rows.begin(), dam.rows.end(), 0u);
            std::shuffle(dam.rows.begin(), dam.rows.end(), random);
            dam.rows.resize(below(3) == 0 ? below(stallions + 1) : stallions);
            for (const std::uint32_t s : dam.rows)
                whole[m].rows.push_back({s, false});
            const KeptRows kept = keep(m, dam);
            EXPECT_TRUE(kept.more.empty());
            ASSERT_LE(kept.rows.size(), dam.rows.size());
            EXPECT_TRUE(std::equal(kept.rows.begin(), kept.rows.end(), dam.rows.begin())); // her first rows
            cut += kept.rows.size() < dam.rows.size();
            for (const std::uint32_t s : kept.rows)
                head[m].rows.push_back({s, false});
        }
        const SeasonAssignment fromWhole = assignSeason(whole, rules), fromHead = assignSeason(head, rules);
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(fromHead.planned(), fromWhole.planned());
        ASSERT_EQ(fromHead.rankSum(), fromWhole.rankSum());
    }
    EXPECT_GT(cut, 1000u);
}

TEST(SeasonHead, UnderAnyRulesAndLocksTheHeadKeptPlansAsTheWholeLists)
{
    std::mt19937 random(46);
    const auto below = [&](std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random); };
    std::size_t cut = 0, locked = 0;
    for (int round = 0; round < 2000; ++round) {
        const std::size_t mares = 1 + below(8);
        const std::uint32_t stallions = 1 + below(10);
        AssignRules rules;
        if (below(3) != 0)
            rules.bookForAll = below(4);
        for (std::uint32_t s = 0; s < stallions; ++s)
            if (below(4) == 0)
                rules.books[s] = below(3);
        if (below(3) == 0) {
            rules.roster.emplace();
            for (std::uint32_t s = 0; s < stallions; ++s)
                if (below(3) != 0)
                    rules.roster->insert(s);
        }
        for (std::uint32_t s = 0; s < stallions; ++s)
            if (below(6) == 0)
                rules.ruledOut.insert(s);
        std::vector<std::optional<StallionNumber>> lockAt(mares);
        for (std::size_t m = 0; m < mares; ++m) {
            if (below(5) == 0)
                rules.ruledOutPairs.insert({m, below(stallions)});
            if (below(4) == 0)
                lockAt[m] = below(stallions);
        }
        std::vector<AssignMare> whole(mares), head(mares);
        const SeasonKeep keep = keepHeadUnderRules(rules, lockAt, mares);
        for (std::size_t m = 0; m < mares; ++m) {
            SeasonDam dam;
            dam.rows.resize(stallions);
            std::iota(dam.rows.begin(), dam.rows.end(), 0u);
            std::shuffle(dam.rows.begin(), dam.rows.end(), random);
            dam.rows.resize(below(3) == 0 ? below(stallions + 1) : stallions);
            for (const std::uint32_t s : dam.rows)
                whole[m].rows.push_back({s, false});
            const KeptRows kept = keep(m, dam);
            for (const std::uint32_t s : kept.rows) {
                EXPECT_TRUE(rules.allows(m, s)) << "a row the rules take out was kept";
                head[m].rows.push_back({s, false});
            }
            // A lock outside the rows she keeps is kept beside them, and only then.
            const bool inRows = lockAt[m] && std::find(dam.rows.begin(), dam.rows.end(), *lockAt[m]) != dam.rows.end();
            EXPECT_EQ(!kept.more.empty(), lockAt[m] && !(inRows && rules.allows(m, *lockAt[m])));
            whole[m].locked = head[m].locked = lockAt[m];
            cut += mareList(head[m], m, rules).size() < mareList(whole[m], m, rules).size();
            locked += lockAt[m].has_value();
        }
        const SeasonAssignment fromWhole = assignSeason(whole, rules), fromHead = assignSeason(head, rules);
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(fromHead.planned(), fromWhole.planned());
        ASSERT_EQ(fromHead.rankSum(), fromWhole.rankSum());
        for (std::size_t m = 0; m < mares; ++m) { // a locked mare's rank is her stallion's place in her whole list
            if (fromWhole.mares[m].outcome == MareAssignment::Outcome::Locked) {
                ASSERT_EQ(fromHead.mares[m].rank, fromWhole.mares[m].rank) << "mare " << m;
            }
        }
    }
    EXPECT_GT(cut, 500u);
    EXPECT_GT(locked, 1000u);
}

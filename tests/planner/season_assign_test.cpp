// The season's plan against every plan there is, on small random seasons.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "planner/season_assign.h"

using namespace quindle;

namespace {

struct Best {
    std::size_t planned = 0, rankSum = 0;
};

// Every way of giving each free mare one stallion the rules allow, or none,
// within the books; the most mares planned, then the least sum of ranks.
class BruteForce {
public:
    BruteForce(const std::vector<AssignMare>& mares, const AssignRules& rules,
               const std::vector<MareAssignment>& locksKept)
        : mares_(mares), rules_(rules)
    {
        for (std::size_t m = 0; m < mares.size(); ++m)
            if (locksKept[m].outcome == MareAssignment::Outcome::Locked)
                ++used_[*locksKept[m].stallion];
            else
                free_.push_back(m);
    }
    Best best()
    {
        walk(0, 0, 0);
        return best_;
    }

private:
    void walk(std::size_t at, std::size_t planned, std::size_t ranks)
    {
        if (at == free_.size()) {
            if (planned > best_.planned || (planned == best_.planned && ranks < best_.rankSum))
                best_ = {planned, ranks};
            return;
        }
        walk(at + 1, planned, ranks); // she goes without
        const std::size_t m = free_[at];
        std::size_t rank = 0;
        for (const AssignCandidate& row : mares_[m].rows) {
            // The rules read straight from the pair, not through the mare's list.
            if (rules_.ruledOut.contains(row.stallion) || rules_.ruledOutPairs.contains({m, row.stallion}) ||
                (rules_.roster && !rules_.roster->contains(row.stallion)) || (rules_.noRepeats && row.repeats))
                continue;
            ++rank;
            const auto book = rules_.bookOf(row.stallion);
            if (book && used_[row.stallion] >= *book)
                continue;
            ++used_[row.stallion];
            walk(at + 1, planned + 1, ranks + rank);
            --used_[row.stallion];
        }
    }

    const std::vector<AssignMare>& mares_;
    const AssignRules& rules_;
    std::vector<std::size_t> free_;
    std::unordered_map<StallionNumber, std::uint32_t> used_;
    Best best_{0, 0};
};

struct RandomSeason {
    std::vector<AssignMare> mares;
    AssignRules rules;
};

RandomSeason randomSeason(std::mt19937& random)
{
    const auto below = [&](std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random); };
    RandomSeason season;
    const std::uint32_t stallions = 1 + below(10);
    season.mares.resize(1 + below(6));
    for (AssignMare& mare : season.mares) {
        std::vector<StallionNumber> order(stallions);
        for (StallionNumber s = 0; s < stallions; ++s)
            order[s] = s;
        std::shuffle(order.begin(), order.end(), random);
        order.resize(below(stallions + 1)); // her target keeps some of them
        for (const StallionNumber s : order)
            mare.rows.push_back({s, below(4) == 0});
        if (below(5) == 0)
            mare.locked = below(stallions);
    }
    AssignRules& rules = season.rules;
    if (below(3) != 0)
        rules.bookForAll = below(4); // 0 too: a book of 0 covers no mare
    for (StallionNumber s = 0; s < stallions; ++s) {
        if (below(4) == 0)
            rules.books[s] = below(3);
        if (below(8) == 0)
            rules.ruledOut.insert(s);
    }
    for (std::size_t m = 0; m < season.mares.size(); ++m)
        if (below(4) == 0)
            rules.ruledOutPairs.insert({m, below(stallions)});
    if (below(3) == 0) {
        rules.roster.emplace();
        for (StallionNumber s = 0; s < stallions; ++s)
            if (below(3) != 0)
                rules.roster->insert(s);
    }
    rules.noRepeats = below(2) == 0;
    return season;
}

} // namespace

TEST(SeasonAssignTest, PlansAsManyMaresWithAsGoodRanksAsTheBestOfEveryPlan)
{
    std::mt19937 random(45);
    for (int round = 0; round < 3000; ++round) {
        const RandomSeason season = randomSeason(random);
        const SeasonAssignment plan = assignSeason(season.mares, season.rules);
        ASSERT_EQ(plan.mares.size(), season.mares.size());

        // The plan is one the rules allow: each stallion from her list at his
        // rank there, locks on their stallion, no book overfilled.
        std::unordered_map<StallionNumber, std::uint32_t> covered;
        for (std::size_t m = 0; m < plan.mares.size(); ++m) {
            const MareAssignment& given = plan.mares[m];
            const auto list = mareList(season.mares[m], m, season.rules);
            if (!given.stallion) {
                EXPECT_EQ(given.outcome,
                          list.empty() ? MareAssignment::Outcome::NoneInList : MareAssignment::Outcome::AllBookedFull);
                continue;
            }
            ++covered[*given.stallion];
            if (given.outcome == MareAssignment::Outcome::Locked) {
                EXPECT_EQ(given.stallion, season.mares[m].locked);
                EXPECT_EQ(given.lockRefused, MareAssignment::LockRefused::None);
            } else {
                ASSERT_GE(given.rank, 1u);
                ASSERT_LE(given.rank, list.size());
                EXPECT_EQ(list[given.rank - 1], *given.stallion);
            }
            if (season.mares[m].locked && given.outcome != MareAssignment::Outcome::Locked) {
                EXPECT_NE(given.lockRefused, MareAssignment::LockRefused::None) << "round " << round;
            }
        }
        for (const auto& [stallion, count] : covered) {
            if (const auto book = season.rules.bookOf(stallion)) {
                EXPECT_LE(count, *book) << "round " << round << ", stallion " << stallion;
            }
        }

        const Best best = BruteForce(season.mares, season.rules, plan.mares).best();
        std::size_t locked = 0;
        for (const MareAssignment& m : plan.mares)
            locked += m.outcome == MareAssignment::Outcome::Locked;
        EXPECT_EQ(plan.planned() - locked, best.planned) << "round " << round;
        EXPECT_EQ(plan.rankSum(), best.rankSum) << "round " << round;
        // The same input gives the same plan.
        const SeasonAssignment again = assignSeason(season.mares, season.rules);
        for (std::size_t m = 0; m < plan.mares.size(); ++m)
            EXPECT_EQ(again.mares[m].stallion, plan.mares[m].stallion);
    }
}

TEST(SeasonAssignTest, LocksCountAgainstTheBookAndAreRefusedWhenTheyBreakARule)
{
    // Three mares who all want stallion 7 first; his book is 2, and the first
    // mare's lock to him takes one of the two places.
    std::vector<AssignMare> mares(4);
    for (AssignMare& mare : mares)
        mare.rows = {{7, false}, {8, false}, {9, true}};
    mares[2].locked = 7;
    mares[3].locked = 9;
    AssignRules rules;
    rules.books[7] = 1;
    rules.bookForAll = 1;
    rules.ruledOutPairs.insert({3, 9});
    const SeasonAssignment plan = assignSeason(mares, rules);
    EXPECT_EQ(plan.mares[2].outcome, MareAssignment::Outcome::Locked);
    EXPECT_EQ(plan.mares[2].rank, 1u);
    EXPECT_EQ(plan.mares[3].lockRefused, MareAssignment::LockRefused::RuledOut);
    // 7 is full with the lock: the others share 8 and 9, one left without.
    EXPECT_EQ(plan.planned(), 3u);
    EXPECT_EQ(
        std::count_if(plan.mares.begin(), plan.mares.end(),
                      [](const MareAssignment& m) { return m.outcome == MareAssignment::Outcome::AllBookedFull; }),
        1);

    mares[0].locked = 7; // now beyond his book of 1: the earlier mare keeps him
    const SeasonAssignment second = assignSeason(mares, rules);
    EXPECT_EQ(second.mares[0].outcome, MareAssignment::Outcome::Locked);
    EXPECT_EQ(second.mares[2].lockRefused, MareAssignment::LockRefused::BeyondBook);
}

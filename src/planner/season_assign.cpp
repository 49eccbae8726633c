#include "planner/season_assign.h"

#include <algorithm>
#include <stdexcept>

// Only LEMON's templates are used: no library to link, so any build that has
// its headers (the Windows cross-build too) has the solver.
#define LEMON_ONLY_TEMPLATES
#include <lemon/network_simplex.h>
#include <lemon/smart_graph.h>

namespace quindle {

std::optional<std::uint32_t> AssignRules::bookOf(StallionNumber stallion) const
{
    const auto own = books.find(stallion);
    if (own != books.end())
        return own->second;
    return bookForAll;
}

bool AssignRules::allows(std::size_t mare, StallionNumber stallion) const
{
    return !ruledOut.contains(stallion) && !ruledOutPairs.contains({mare, stallion}) &&
           (!roster || roster->contains(stallion));
}

std::vector<StallionNumber> mareList(const AssignMare& mare, std::size_t place, const AssignRules& rules)
{
    std::vector<StallionNumber> list;
    for (const AssignCandidate& row : mare.rows)
        if (rules.keeps(place, row))
            list.push_back(row.stallion);
    return list;
}

std::size_t SeasonAssignment::planned() const
{
    return static_cast<std::size_t>(std::count_if(mares.begin(), mares.end(), [](const MareAssignment& m) {
        return m.outcome == MareAssignment::Outcome::Planned || m.outcome == MareAssignment::Outcome::Locked;
    }));
}

std::size_t SeasonAssignment::rankSum() const
{
    std::size_t sum = 0;
    for (const MareAssignment& m : mares)
        if (m.outcome == MareAssignment::Outcome::Planned)
            sum += m.rank;
    return sum;
}

namespace {

// What is left of a stallion's book once the locks are kept: none for no limit.
class RoomLeft {
public:
    explicit RoomLeft(const AssignRules& rules) : rules_(rules) {}
    std::optional<std::uint32_t> of(StallionNumber stallion) const
    {
        const auto book = rules_.bookOf(stallion);
        if (!book)
            return std::nullopt;
        const auto used = used_.find(stallion);
        return *book - (used == used_.end() ? 0 : std::min(*book, used->second));
    }
    bool take(StallionNumber stallion)
    {
        const auto room = of(stallion);
        if (room && *room == 0)
            return false;
        ++used_[stallion];
        return true;
    }

private:
    const AssignRules& rules_;
    std::unordered_map<StallionNumber, std::uint32_t> used_;
};

// A free mare's list as the flow sees it: stallions with room, each with its rank.
struct Choice {
    StallionNumber stallion;
    std::size_t rank;
};

// Each mare's list under the rules, her outcome until the flow plans her, and
// her lock kept where the rules and the stallion's book allow it.
std::vector<std::vector<StallionNumber>> listAndLock(const std::vector<AssignMare>& mares, const AssignRules& rules,
                                                     RoomLeft& room, SeasonAssignment& result)
{
    using Outcome = MareAssignment::Outcome;
    std::vector<std::vector<StallionNumber>> lists(mares.size());
    for (std::size_t m = 0; m < mares.size(); ++m) {
        lists[m] = mareList(mares[m], m, rules);
        MareAssignment& out = result.mares[m];
        out.outcome = lists[m].empty() ? Outcome::NoneInList : Outcome::AllBookedFull;
        if (!lists[m].empty())
            out.first = lists[m].front();
        if (!mares[m].locked)
            continue;
        const StallionNumber locked = *mares[m].locked;
        if (rules.ruledOut.contains(locked) || rules.ruledOutPairs.contains({m, locked}))
            out.lockRefused = MareAssignment::LockRefused::RuledOut;
        else if (rules.roster && !rules.roster->contains(locked))
            out.lockRefused = MareAssignment::LockRefused::OutsideRoster;
        else if (!room.take(locked))
            out.lockRefused = MareAssignment::LockRefused::BeyondBook;
        else {
            out.outcome = Outcome::Locked;
            out.stallion = locked;
            const auto at = std::find(lists[m].begin(), lists[m].end(), locked);
            out.rank = at == lists[m].end() ? 0 : static_cast<std::size_t>(at - lists[m].begin()) + 1;
        }
    }
    return lists;
}

// The free mares' choices, and the stallions among them, each with its node's number.
struct FreeChoices {
    std::size_t freeMares = 0;
    std::size_t count = 0;
    std::vector<std::vector<Choice>> of; // by mare: none for a locked one
    std::vector<StallionNumber> used;    // the stallions that get a node, in the order met
    std::unordered_map<StallionNumber, int> nodeOf;
};

// A stallion with no room left is no choice; with every choice having room
// for one, a mare never needs more of her list than there are free mares (the
// others take fewer stallions than that).
FreeChoices freeChoicesOf(const std::vector<std::vector<StallionNumber>>& lists, const RoomLeft& room,
                          const SeasonAssignment& result)
{
    using Outcome = MareAssignment::Outcome;
    FreeChoices choices;
    for (const MareAssignment& m : result.mares)
        choices.freeMares += m.outcome != Outcome::Locked;
    choices.of.resize(lists.size());
    for (std::size_t m = 0; m < lists.size(); ++m) {
        if (result.mares[m].outcome == Outcome::Locked)
            continue;
        std::vector<Choice>& hers = choices.of[m];
        for (std::size_t k = 0; k < lists[m].size() && hers.size() < choices.freeMares; ++k) {
            const StallionNumber stallion = lists[m][k];
            const auto left = room.of(stallion);
            if (left && *left == 0)
                continue;
            hers.push_back({stallion, k + 1});
            if (choices.nodeOf.emplace(stallion, static_cast<int>(choices.used.size())).second)
                choices.used.push_back(stallion);
        }
        choices.count += hers.size();
    }
    return choices;
}

// Source to each free mare, mare to stallion, stallion to sink, and a bypass
// from source to sink for the mares left out. A pair costs its rank less a
// bonus larger than every sum of ranks, so one more mare planned outweighs
// any ranks: the cheapest flow plans the most mares, then the best ranks.
void planByFlow(const FreeChoices& choices, const RoomLeft& room, SeasonAssignment& result)
{
    using Graph = lemon::SmartDigraph;
    Graph graph;
    const Graph::Node source = graph.addNode(), sink = graph.addNode();
    std::vector<Graph::Node> stallionNodes;
    for (std::size_t s = 0; s < choices.used.size(); ++s)
        stallionNodes.push_back(graph.addNode());
    Graph::ArcMap<std::int64_t> capacity(graph), cost(graph);
    std::int64_t bonus = 1;
    for (const auto& c : choices.of)
        bonus += c.empty() ? 0 : static_cast<std::int64_t>(c.back().rank);
    const auto arc = [&](Graph::Node from, Graph::Node to, std::int64_t cap, std::int64_t price) {
        const Graph::Arc a = graph.addArc(from, to);
        capacity[a] = cap;
        cost[a] = price;
        return a;
    };
    const auto flowSize = static_cast<std::int64_t>(choices.freeMares);
    std::vector<std::vector<Graph::Arc>> pairArcs(choices.of.size());
    for (std::size_t m = 0; m < choices.of.size(); ++m) {
        if (choices.of[m].empty())
            continue;
        const Graph::Node mare = graph.addNode();
        arc(source, mare, 1, 0);
        for (const Choice& c : choices.of[m])
            pairArcs[m].push_back(arc(mare, stallionNodes[static_cast<std::size_t>(choices.nodeOf.at(c.stallion))], 1,
                                      static_cast<std::int64_t>(c.rank) - bonus));
    }
    for (std::size_t s = 0; s < choices.used.size(); ++s) {
        const auto left = room.of(choices.used[s]);
        arc(stallionNodes[s], sink, left ? std::min<std::int64_t>(*left, flowSize) : flowSize, 0);
    }
    arc(source, sink, flowSize, 0);

    lemon::NetworkSimplex<Graph, std::int64_t, std::int64_t> solver(graph);
    solver.upperMap(capacity).costMap(cost).stSupply(source, sink, flowSize);
    // With the bypass every supply can flow and no cycle costs less than
    // nothing, so the problem is always solved.
    if (solver.run() != lemon::NetworkSimplex<Graph, std::int64_t, std::int64_t>::OPTIMAL)
        throw std::logic_error("the season's plan could not be solved");
    for (std::size_t m = 0; m < choices.of.size(); ++m)
        for (std::size_t k = 0; k < pairArcs[m].size(); ++k)
            if (solver.flow(pairArcs[m][k]) > 0) {
                result.mares[m].outcome = MareAssignment::Outcome::Planned;
                result.mares[m].stallion = choices.of[m][k].stallion;
                result.mares[m].rank = choices.of[m][k].rank;
            }
}

} // namespace

SeasonAssignment assignSeason(const std::vector<AssignMare>& mares, const AssignRules& rules)
{
    SeasonAssignment result;
    result.mares.resize(mares.size());
    RoomLeft room(rules);
    const auto lists = listAndLock(mares, rules, room, result);
    const FreeChoices choices = freeChoicesOf(lists, room, result);
    if (choices.count > 0)
        planByFlow(choices, room, result);
    return result;
}

} // namespace quindle

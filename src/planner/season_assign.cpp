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

} // namespace

SeasonAssignment assignSeason(const std::vector<AssignMare>& mares, const AssignRules& rules)
{
    using Outcome = MareAssignment::Outcome;
    SeasonAssignment result;
    result.mares.resize(mares.size());
    std::vector<std::vector<StallionNumber>> lists(mares.size());
    RoomLeft room(rules);
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

    // The free mares' choices. A stallion with no room left is no choice; with
    // every choice having room for one, a mare never needs more of her list
    // than there are free mares (the others take fewer stallions than that).
    std::size_t freeMares = 0;
    for (const MareAssignment& m : result.mares)
        freeMares += m.outcome != Outcome::Locked;
    std::vector<std::vector<Choice>> choices(mares.size());
    std::vector<StallionNumber> used; // the stallions that get a node, in the order met
    std::unordered_map<StallionNumber, int> nodeOf;
    std::size_t choiceCount = 0;
    for (std::size_t m = 0; m < mares.size(); ++m) {
        if (result.mares[m].outcome == Outcome::Locked)
            continue;
        for (std::size_t k = 0; k < lists[m].size() && choices[m].size() < freeMares; ++k) {
            const StallionNumber stallion = lists[m][k];
            const auto left = room.of(stallion);
            if (left && *left == 0)
                continue;
            choices[m].push_back({stallion, k + 1});
            if (nodeOf.emplace(stallion, static_cast<int>(used.size())).second)
                used.push_back(stallion);
        }
        choiceCount += choices[m].size();
    }
    if (choiceCount == 0)
        return result;

    // Source to each free mare, mare to stallion, stallion to sink, and a bypass
    // from source to sink for the mares left out. A pair costs its rank less a
    // bonus larger than every sum of ranks, so one more mare planned outweighs
    // any ranks: the cheapest flow plans the most mares, then the best ranks.
    using Graph = lemon::SmartDigraph;
    Graph graph;
    const Graph::Node source = graph.addNode(), sink = graph.addNode();
    std::vector<Graph::Node> stallionNodes;
    for (std::size_t s = 0; s < used.size(); ++s)
        stallionNodes.push_back(graph.addNode());
    Graph::ArcMap<std::int64_t> capacity(graph), cost(graph);
    std::int64_t bonus = 1;
    for (const auto& c : choices)
        bonus += c.empty() ? 0 : static_cast<std::int64_t>(c.back().rank);
    const auto arc = [&](Graph::Node from, Graph::Node to, std::int64_t cap, std::int64_t price) {
        const Graph::Arc a = graph.addArc(from, to);
        capacity[a] = cap;
        cost[a] = price;
        return a;
    };
    const auto flowSize = static_cast<std::int64_t>(freeMares);
    std::vector<std::vector<Graph::Arc>> pairArcs(mares.size());
    for (std::size_t m = 0; m < mares.size(); ++m) {
        if (choices[m].empty())
            continue;
        const Graph::Node mare = graph.addNode();
        arc(source, mare, 1, 0);
        for (const Choice& c : choices[m])
            pairArcs[m].push_back(arc(mare, stallionNodes[static_cast<std::size_t>(nodeOf.at(c.stallion))], 1,
                                      static_cast<std::int64_t>(c.rank) - bonus));
    }
    for (std::size_t s = 0; s < used.size(); ++s) {
        const auto left = room.of(used[s]);
        arc(stallionNodes[s], sink, left ? std::min<std::int64_t>(*left, flowSize) : flowSize, 0);
    }
    arc(source, sink, flowSize, 0);

    lemon::NetworkSimplex<Graph, std::int64_t, std::int64_t> solver(graph);
    solver.upperMap(capacity).costMap(cost).stSupply(source, sink, flowSize);
    // With the bypass every supply can flow and no cycle costs less than
    // nothing, so the problem is always solved.
    if (solver.run() != lemon::NetworkSimplex<Graph, std::int64_t, std::int64_t>::OPTIMAL)
        throw std::logic_error("the season's plan could not be solved");
    for (std::size_t m = 0; m < mares.size(); ++m)
        for (std::size_t k = 0; k < pairArcs[m].size(); ++k)
            if (solver.flow(pairArcs[m][k]) > 0) {
                result.mares[m].outcome = Outcome::Planned;
                result.mares[m].stallion = choices[m][k].stallion;
                result.mares[m].rank = choices[m][k].rank;
            }
    return result;
}

} // namespace quindle

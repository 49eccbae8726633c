#include "dosage/repeated_sires.h"

#include <algorithm>
#include <cstdint>

namespace quindle {

std::vector<RepeatedSire> repeatedSires(const AncestorViews& lineage)
{
    std::vector<RepeatedSire> out;
    std::array<bool, kPositions> taken{};
    for (int first = 0; first < kPositions; ++first) {
        const std::string_view name = lineage[static_cast<std::size_t>(first)];
        if (name.empty() || taken[static_cast<std::size_t>(first)])
            continue;
        std::vector<int> positions{first};
        for (int p = first + 1; p < kPositions; ++p)
            if (lineage[static_cast<std::size_t>(p)] == name) {
                positions.push_back(p);
                taken[static_cast<std::size_t>(p)] = true;
            }
        if (positions.size() < 2)
            continue;
        // Sire's side first, then by generation; places of one generation and
        // side keep lineage order.
        std::stable_sort(positions.begin(), positions.end(), [](int a, int b) {
            const PlaceOfSire& pa = kPlacesOfSires[static_cast<std::size_t>(a)];
            const PlaceOfSire& pb = kPlacesOfSires[static_cast<std::size_t>(b)];
            if (pa.side != pb.side)
                return pa.side == 'S';
            return pa.generation < pb.generation;
        });
        RepeatedSire repeat;
        repeat.name = std::string(name);
        repeat.notation = repeat.name;
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const PlaceOfSire& place = kPlacesOfSires[static_cast<std::size_t>(positions[i])];
            repeat.places.push_back(std::to_string(place.generation) + place.side);
            repeat.notation += (i == 0 ? " " : " x ") + repeat.places.back();
        }
        repeat.positions = std::move(positions);
        out.push_back(std::move(repeat));
    }
    return out;
}

std::vector<RepeatedSire> repeatedSires(const std::array<std::string, kPositions>& lineage)
{
    AncestorViews views;
    std::copy(lineage.begin(), lineage.end(), views.begin());
    return repeatedSires(views);
}

std::string repeatsText(const std::vector<RepeatedSire>& repeats)
{
    std::string out;
    for (const RepeatedSire& repeat : repeats)
        out += (out.empty() ? "" : "; ") + repeat.notation;
    return out;
}

std::string repeatsText(const AncestorViews& lineage)
{
    // Most lineages repeat nothing: answer those without building anything.
    // Each name marks one of 64 bits by its length and its first and last
    // letters, so equal names mark the same bit; only when a bit is marked
    // twice are the names compared pair by pair.
    std::uint64_t marks = 0;
    bool alike = false;
    for (const std::string_view name : lineage) {
        if (name.empty())
            continue;
        const std::size_t mark =
            name.size() * 7 + static_cast<unsigned char>(name.front()) * 3u + static_cast<unsigned char>(name.back());
        const std::uint64_t bit = std::uint64_t{1} << (mark & 63);
        alike |= (marks & bit) != 0;
        marks |= bit;
    }
    if (!alike)
        return {};
    bool any = false;
    for (std::size_t a = 0; a < lineage.size() && !any; ++a)
        for (std::size_t b = a + 1; b < lineage.size() && !any; ++b)
            any = !lineage[a].empty() && lineage[a] == lineage[b];
    return any ? repeatsText(repeatedSires(lineage)) : std::string();
}

} // namespace quindle

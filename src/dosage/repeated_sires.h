#pragma once
// Repeated sires: a name that stands in more than one of the seven sire-line
// places of a horse or foal, written the breeders' way ("WIND CAP 2S x 3D").
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "dosage/profile.h"

namespace quindle {

// Where a place lies: its generation counted from the horse (the Sire is 1)
// and its side, 'S' for the Sire's and 'D' for the dam's.
struct PlaceOfSire {
    int generation;
    char side;
};
// The places in the order of the lineage boxes: Sire, Sire's Sire, Dam-Sire,
// Sire's Sire's Sire, Sire's Dam-Sire, Dam-Sire's Sire, Dam's Dam-Sire.
inline constexpr std::array<PlaceOfSire, kPositions> kPlacesOfSires{
    {{1, 'S'}, {2, 'S'}, {2, 'D'}, {3, 'S'}, {3, 'S'}, {3, 'D'}, {3, 'D'}}};

struct RepeatedSire {
    std::string name;                // as the lineage holds it (Latin-1)
    std::vector<int> positions;      // lineage positions 0..6, in the order of the notation
    std::vector<std::string> places; // "2S", "3D", ... in the same order
    std::string notation;            // "WIND CAP 2S x 3D"
    bool operator==(const RepeatedSire&) const = default;
};

// The repeated names of a lineage (in lineage order), in the order of their
// first place. Names compare byte for byte; an empty place never repeats. Each
// name's places are written Sire's side first, then the dam's, each side by
// generation.
std::vector<RepeatedSire> repeatedSires(const AncestorViews& lineage);
std::vector<RepeatedSire> repeatedSires(const std::array<std::string, kPositions>& lineage);

// The notations joined with "; ", or empty when no name repeats.
std::string repeatsText(const std::vector<RepeatedSire>& repeats);
// The same straight from a lineage.
std::string repeatsText(const AncestorViews& lineage);

} // namespace quindle

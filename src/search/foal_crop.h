#pragma once
// The crop of a stallion: how the DI and the CD of his foals are spread, in
// bins a chart draws as bars.
#include <array>
#include <optional>
#include <vector>

#include "dosage/profile.h"
#include "search/foal_profiles.h"

namespace quindle {

// DI bins 0.5 wide from 0; the last one holds every DI from 5 up.
inline constexpr int kDiBins = 11;
inline constexpr double kDiBinWidth = 0.5;
// CD bins 0.25 wide from -2 to +2, +2 in the last one (a CD never leaves that range).
inline constexpr int kCdBins = 16;
inline constexpr double kCdBinWidth = 0.25;

struct FoalCrop {
    std::array<int, kDiBins> di{};
    int diInfinite = 0; // "INF": points but no Stamina
    int diNone = 0;     // "--": no points
    std::array<int, kCdBins> cd{};
    int cdNone = 0; // no points
    int foals = 0;
};

// Where one profile falls: a DI bin, or INF, or none; a CD bin or none.
struct CropPlace {
    enum class Di { Bin, Infinite, None };
    Di di = Di::None;
    int diBin = 0;
    std::optional<int> cdBin;
};

CropPlace placeOf(const DosageProfile& profile);
FoalCrop cropOf(const std::vector<FoalProfile>& foals);

// The lower edge of a bin, for its label.
inline double diBinLow(int bin) { return bin * kDiBinWidth; }
inline double cdBinLow(int bin) { return -2 + bin * kCdBinWidth; }

} // namespace quindle

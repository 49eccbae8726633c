#include "search/foal_crop.h"

#include <algorithm>
#include <cmath>

namespace quindle {

CropPlace placeOf(const DosageProfile& profile)
{
    CropPlace place;
    switch (profile.di.kind) {
    case DosageIndex::Kind::Absent:
        place.di = CropPlace::Di::None;
        break;
    case DosageIndex::Kind::Infinite:
        place.di = CropPlace::Di::Infinite;
        break;
    case DosageIndex::Kind::Finite:
        place.di = CropPlace::Di::Bin;
        place.diBin = std::clamp(static_cast<int>(std::floor(profile.di.value / kDiBinWidth)), 0, kDiBins - 1);
        break;
    }
    if (profile.cd)
        place.cdBin = std::clamp(static_cast<int>(std::floor((*profile.cd + 2) / kCdBinWidth)), 0, kCdBins - 1);
    return place;
}

FoalCrop cropOf(const std::vector<FoalProfile>& foals)
{
    FoalCrop crop;
    for (const FoalProfile& foal : foals) {
        const CropPlace place = placeOf(foal.profile);
        switch (place.di) {
        case CropPlace::Di::Bin:
            ++crop.di[static_cast<std::size_t>(place.diBin)];
            break;
        case CropPlace::Di::Infinite:
            ++crop.diInfinite;
            break;
        case CropPlace::Di::None:
            ++crop.diNone;
            break;
        }
        if (place.cdBin)
            ++crop.cd[static_cast<std::size_t>(*place.cdBin)];
        else
            ++crop.cdNone;
        ++crop.foals;
    }
    return crop;
}

} // namespace quindle

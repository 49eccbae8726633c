#include "search/foal_profiles.h"

#include <cstdio>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/fold_case.h"
#include "data/input_file.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "lookup/horse_lookup.h"

namespace quindle {

namespace {
// Pieces of the file (half a megabyte each) between two hand-ons: few enough
// batches that the window's redrawing costs nothing beside the reading.
constexpr int kPiecesBetweenBatches = 8;
} // namespace

std::vector<FoalProfile> foalProfiles(const std::string& breedingPath, const ChefTable& chefs, std::string_view sire,
                                      const FoalsSoFar& grown)
{
    FilePtr file = openInput(breedingPath);
    RecordChunker chunker(std::move(file), breedingPath);
    RecordChunk chunk;
    HorseView horse;
    std::vector<FoalProfile> foals;
    std::size_t handedOn = 0;
    int piecesSince = kPiecesBetweenBatches; // the first foals go at once
    while (chunker.next(chunk)) {
        FieldReader reader(chunk.bytes(), breedingPath, chunk.firstLine());
        while (!reader.atEnd()) {
            readHorseRecord(reader, horse);
            if (!equalFolded(horse.sire, sire))
                continue;
            FoalProfile& foal = foals.emplace_back();
            foal.id = horse.id;
            foal.name = horse.name;
            foal.age = horse.age;
            foal.sex = horse.sex;
            foal.profile = profileOfTotals(groupTotalsOfViews(lineageViews(horse), chefs));
            summariseProfile(foal.profile, foal.summary);
        }
        ++piecesSince;
        if (grown && foals.size() > handedOn && piecesSince >= kPiecesBetweenBatches) {
            grown(foals);
            handedOn = foals.size();
            piecesSince = 0;
        }
    }
    return foals;
}

FoalAverages averagesOf(const std::vector<FoalProfile>& foals)
{
    double diSum = 0, cdSum = 0;
    int dis = 0, cds = 0;
    for (const FoalProfile& foal : foals) {
        if (foal.profile.di.kind == DosageIndex::Kind::Finite) {
            diSum += foal.profile.di.value;
            ++dis;
        }
        if (foal.profile.cd) {
            cdSum += *foal.profile.cd;
            ++cds;
        }
    }
    FoalAverages averages;
    if (dis > 0)
        averages.di = diSum / dis;
    if (cds > 0)
        averages.cd = cdSum / cds;
    return averages;
}

namespace {

std::string twoDecimals(const std::optional<double>& value)
{
    if (!value)
        return "--";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", *value);
    std::string shown = text;
    if (shown.starts_with('-') && shown.find_first_not_of("-0.") == std::string::npos)
        shown.erase(0, 1); // -0.004 shows as 0.00, not -0.00
    return shown;
}

} // namespace

std::string foalsSummary(std::size_t count, const FoalAverages& averages)
{
    return std::to_string(count) + (count == 1 ? " foal" : " foals") + ", average DI " + twoDecimals(averages.di) +
           ", average CD " + twoDecimals(averages.cd);
}

} // namespace quindle

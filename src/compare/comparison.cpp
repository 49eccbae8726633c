#include "compare/comparison.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "main_state/shown_profile.h"
#include "data/blanks.h"
#include "export/text_forms.h"

namespace quindle {

const std::array<const char*, kPositions> kPositionCaptions{
    "Sire", "Sire's Sire", "Dam-Sire", "Sire's Sire's Sire", "Sire's Dam-Sire", "Dam-Sire's Sire", "Dam's Dam-Sire"};
const std::array<const char*, kCompareRows> kCompareRowNames{"Total", "Speed", "Stamina", "CD", "DI"};

namespace {

constexpr const char* kGroupNames[] = {"B", "I", "C", "S", "P"};

std::string trimmed(std::string_view text) { return std::string(trimBlanks(text)); }

const std::string& summaryText(const CandidateShown& c, SummaryColumn column)
{
    return summaryNumber(c.summary, column).text;
}

// The row's value of a candidate, when it has one: the number shown, so that
// two candidates showing the same DI are alike for the target too.
std::optional<double> rowValue(const CandidateShown& c, CompareRow row)
{
    if (!c.profile || c.profile->total == 0)
        return std::nullopt;
    const SummaryColumn column = row == CompareRow::Total     ? SummaryColumn::Total
                                 : row == CompareRow::Speed   ? SummaryColumn::Speed
                                 : row == CompareRow::Stamina ? SummaryColumn::Stamina
                                 : row == CompareRow::Cd      ? SummaryColumn::Cd
                                                              : SummaryColumn::Di;
    const double value = summaryNumber(c.summary, column).value;
    return std::isnan(value) ? std::nullopt : std::optional(value);
}

// How far a value lies outside a range: 0 inside.
double distanceTo(const ValueRange& range, double value)
{
    if (range.holds(value))
        return 0;
    if (range.min && value < *range.min)
        return *range.min - value;
    return value - *range.max; // infinite for INF above a bound
}

std::string quotedCsv(const std::string& cell)
{
    // A lone carriage return stays as it is here.
    return cell.find_first_of(",\"\n") == std::string::npos ? cell : csvField(cell);
}

std::string joined(const std::vector<CandidateShown>& shown, char separator, bool quote)
{
    std::string out;
    for (const auto& row : comparisonCells(shown)) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i)
                out += separator;
            out += quote ? quotedCsv(row[i]) : row[i];
        }
        out += quote ? "\r\n" : "\n";
    }
    return out;
}

} // namespace

CandidateShown showCandidate(const Candidate& candidate, const DataFolder& folder, const ChefTable& chefs)
{
    CandidateShown shown;
    MainBoxes boxes;
    if (candidate.horse > 0) {
        const GoOutcome outcome = go(boxes, folder, chefs, candidate.horse);
        shown.error = outcome.error;
        const bool elsewhere = !candidate.folder.empty() && candidate.folder != folder.dir();
        shown.gone = !outcome.found || (elsewhere && boxes.horseName != candidate.name);
        shown.name = shown.gone ? candidate.name : boxes.horseName;
        shown.label =
            (shown.gone ? "(gone) " + candidate.name : boxes.horseName) + " (" + std::to_string(candidate.horse) + ")";
        if (shown.gone)
            return shown;
    } else {
        shown.error = candidate.stallion
                          ? submitStallionMating(boxes, *candidate.stallion, candidate.mating, folder.sireList(), chefs)
                          : submitMating(boxes, candidate.mating, folder.sireList(), chefs);
        shown.label = matingTitle(candidate.mating, candidate.mare);
    }
    for (int p = 0; p < kPositions; ++p)
        shown.lineage[static_cast<std::size_t>(p)] = boxes.lineage[static_cast<std::size_t>(p)];
    shown.profile = profileOfBoxes(boxes);
    if (shown.profile)
        shown.summary = summariseProfile(*shown.profile);
    // The texts are what the window shows, whatever came of the lookup.
    for (const SummaryColumnInfo& column : kSummaryColumnTable)
        (shown.summary.*column.member).text = boxes.profileTexts[static_cast<std::size_t>(column.box)];
    return shown;
}

std::vector<std::array<bool, kPositions>> sharedNames(const std::vector<CandidateShown>& shown)
{
    std::vector<std::array<bool, kPositions>> marks(shown.size());
    for (std::size_t a = 0; a < shown.size(); ++a)
        for (std::size_t p = 0; p < kPositions; ++p) {
            const std::string_view key = normaliseName(shown[a].lineage[p]);
            if (key.empty())
                continue;
            for (std::size_t b = 0; b < shown.size() && !marks[a][p]; ++b)
                if (b != a)
                    for (const std::string& other : shown[b].lineage)
                        if (normaliseName(other) == key)
                            marks[a][p] = true;
        }
    // Repeated sires within one candidate are marked by their own rule when the
    // core has it; only names shared between candidates are marked here.
    return marks;
}

std::array<std::vector<bool>, kCompareRows> bestOfRows(const std::vector<CandidateShown>& shown,
                                                       const CompareTarget& target)
{
    std::array<std::vector<bool>, kCompareRows> best;
    for (int r = 0; r < kCompareRows; ++r) {
        const auto row = static_cast<CompareRow>(r);
        auto& marks = best[static_cast<std::size_t>(r)];
        marks.assign(shown.size(), false);
        const std::optional<ValueRange>& range = row == CompareRow::Di   ? target.di
                                                 : row == CompareRow::Cd ? target.cd
                                                                         : std::optional<ValueRange>();
        const bool byTarget = row == CompareRow::Di || row == CompareRow::Cd;
        if (byTarget && (!range || (!range->min && !range->max)))
            continue;
        // A score to minimise: the distance to the range, or the value turned round.
        std::vector<std::optional<double>> scores(shown.size());
        for (std::size_t i = 0; i < shown.size(); ++i)
            if (const auto value = rowValue(shown[i], row))
                scores[i] = byTarget ? distanceTo(*range, *value) : -*value;
        std::optional<double> lowest;
        int scored = 0;
        for (const auto& s : scores)
            if (s && std::isfinite(*s)) {
                ++scored;
                if (!lowest || *s < *lowest)
                    lowest = s;
            }
        if (scored < 2)
            continue; // a candidate alone is no best of anything
        for (std::size_t i = 0; i < shown.size(); ++i)
            marks[i] = lowest && scores[i] && *scores[i] == *lowest;
    }
    return best;
}

std::vector<std::vector<std::string>> comparisonCells(const std::vector<CandidateShown>& shown)
{
    std::vector<std::vector<std::string>> rows;
    auto addRow = [&](std::string caption, auto&& cellOf) {
        std::vector<std::string> row{std::move(caption)};
        for (const CandidateShown& c : shown)
            row.push_back(c.gone ? std::string() : cellOf(c));
        rows.push_back(std::move(row));
    };
    std::vector<std::string> header{""};
    for (const CandidateShown& c : shown)
        header.push_back(c.label);
    rows.push_back(std::move(header));
    for (const int p : kChartOrder)
        addRow(kPositionCaptions[static_cast<std::size_t>(p)],
               [p](const CandidateShown& c) { return c.lineage[static_cast<std::size_t>(p)]; });
    for (int g = 0; g < kGroups; ++g)
        addRow(kGroupNames[g], [g](const CandidateShown& c) {
            return trimmed(summaryText(c, static_cast<SummaryColumn>(static_cast<int>(SummaryColumn::B) + g)));
        });
    constexpr SummaryColumn kRowColumns[] = {SummaryColumn::Total, SummaryColumn::Speed, SummaryColumn::Stamina,
                                             SummaryColumn::Cd, SummaryColumn::Di};
    for (int r = 0; r < kCompareRows; ++r)
        addRow(kCompareRowNames[static_cast<std::size_t>(r)],
               [column = kRowColumns[r]](const CandidateShown& c) { return trimmed(summaryText(c, column)); });
    return rows;
}

std::string comparisonTabText(const std::vector<CandidateShown>& shown) { return joined(shown, '\t', false); }

std::string comparisonCsv(const std::vector<CandidateShown>& shown) { return joined(shown, ',', true); }

} // namespace quindle

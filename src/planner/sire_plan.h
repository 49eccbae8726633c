#pragma once
// The mating planner: the foal of every stallion of the sire list with one mare,
// each computed exactly as a submission of that mating into a freshly started
// main window would show it.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/chef_table.h"
#include "data/data_folder.h"
#include "data/sire_list.h"
#include "data/sire_scan.h"
#include "dosage/profile.h"
#include "dosage/profile_summary.h"

namespace quindle {

// What the mare gives her foal: its Dam-Sire (her Sire) and its Dam's Dam-Sire
// (her Dam-Sire). Either may be blank.
struct MareLines {
    std::string damSire, damDamSire;
};

// The mare behind an identifier: a filly or a mare of the breeding file.
struct MareLookup {
    enum class Status { Found, NotFound, NotFemale, Failed };
    Status status = Status::NotFound;
    std::string name;    // Found: hers
    MareLines lines;     // Found
    std::string message; // otherwise: why there is no mating to plan, in UTF-8
};
MareLookup findMare(const DataFolder& folder, std::int32_t id);

// The sire list held in memory, with the first entries of each name, so the
// scan of the list for any two names takes a few steps instead of a pass.
class SireIndex {
public:
    explicit SireIndex(SireList list);
    SireIndex(const SireIndex&) = delete; // the index looks at the names inside its list

    // The scan stops once three entries carried its names: no name needs more.
    struct FirstEntries {
        std::array<std::uint32_t, 3> at{};
        std::uint32_t count = 0;
    };
    // A name with its first entries in the list (none for a blank or unknown name).
    struct Listed {
        std::string_view name;
        const FirstEntries* entries = nullptr;
    };
    Listed find(std::string_view name) const;
    // The stallion's number (his row in a plan) of a name; none for a blank or unknown one.
    std::optional<std::uint32_t> numberOf(std::string_view name) const;
    // Every distinct non-empty name, in the order of its first entry.
    const std::vector<std::string_view>& stallions() const { return stallions_; }
    Listed stallion(std::size_t number) const { return {stallions_[number], &firstEntries_[number]}; }

    // The entries whose names settled the Sire's lines and the Dam-Sire's (-1: none).
    struct SettledBy {
        std::int32_t sire = -1, damSire = -1;
    };
    // The same sire lines as scanning the list from its start, and, into
    // `settledBy` when given, the entries they came from.
    SireLineViews scan(const Listed& sire, const Listed& damSire, SettledBy* settledBy = nullptr) const;
    SireLineViews scan(std::string_view sire, std::string_view damSire) const
    {
        return scan(find(sire), find(damSire));
    }
    // Empty, or why the list could not be read to its end.
    const std::string& error() const { return list_.error; }
    // The list's bytes, which the names look into (padded as read).
    const char* bytes() const { return list_.bytes.data(); }
    const std::vector<SireListView>& entries() const { return list_.entries; }

private:
    std::size_t slotOf(std::string_view name) const;

    SireList list_;
    std::vector<std::string_view> stallions_;
    std::vector<FirstEntries> firstEntries_; // of each stallion
    // Open addressing over a power-of-two table: 0 for empty, else a stallion's number + 1.
    std::vector<std::uint32_t> slots_;
};

// The chef row of every name of the sire list's entries, looked up once for a
// list and a chef table, so that planning foals looks up no name of the list:
// a season plans each of its mares with the same one.
class ListChefs {
public:
    ListChefs(std::shared_ptr<const SireIndex> sires, const ChefTable& chefs);

    // Of entry k's name, Sire, Dam-Sire and Sire's Sire; null for no chef.
    struct Entry {
        const ChefEntry *name = nullptr, *sire = nullptr, *damSire = nullptr, *sireSire = nullptr;
    };
    const Entry& entry(std::size_t k) const { return entries_[k]; }
    // The points entry k gives a foal of its stallion whatever the mare: his
    // name's at the Sire, and those of his lines at theirs when k settles them.
    const GroupTotals& nameAtSire(std::size_t k) const { return sides_[k].name; }
    const GroupTotals& linesOfSire(std::size_t k) const { return sides_[k].lines; }
    // The same lines when no entry settles them.
    const GroupTotals& blankLines() const { return blankLines_; }
    // Of a blank name (a chef row may have one).
    const ChefEntry* blank() const { return blank_; }
    const std::shared_ptr<const SireIndex>& sires() const { return sires_; }
    const ChefTable& chefs() const { return chefs_; }

private:
    std::shared_ptr<const SireIndex> sires_;
    const ChefTable& chefs_;
    std::vector<Entry> entries_;
    const ChefEntry* blank_;
    struct SireSide {
        GroupTotals name{}, lines{};
    };
    std::vector<SireSide> sides_; // of each entry
    GroupTotals blankLines_{};
};

// The columns of a plan, in the order the command line writes them.
enum class PlanColumn { Sire, SireSire, SireDamSire, B, I, C, S, P, Total, Speed, Stamina, Cd, Di };
inline constexpr int kPlanColumns = 13;
inline constexpr std::array<std::string_view, kPlanColumns> kPlanColumnKeys{
    "sire", "siresire", "siredamsire", "B", "I", "C", "S", "P", "total", "speed", "stamina", "cd", "di"};
inline constexpr int kPlanNameColumns = 3;
inline constexpr int kPlanNumberColumns = kPlanColumns - kPlanNameColumns;

// The numbers of a foal. They follow from its five group totals alone, and
// rows that share their totals share these.
struct PlanNumbers {
    GroupTotals totals{};
    ProfileSummary summary; // as the main window's boxes show it
    // The number columns as CSV: each text without its blanks, joined by commas.
    std::string csv;
};

// The summary column of a number column (B .. di).
inline SummaryColumn summaryColumnOf(PlanColumn column)
{
    return static_cast<SummaryColumn>(static_cast<int>(column) - kPlanNameColumns);
}

// The numbers of a foal with these group totals.
PlanNumbers planNumbersOf(const GroupTotals& totals);
// A number column (B .. di) as the window shows it, without its blanks.
std::string_view planNumberText(const PlanNumbers& numbers, PlanColumn column);

// Where a name lies in the sire list's bytes: a row's names all come from there.
struct NameRef {
    std::uint32_t offset = 0, size = 0;
};

// One stallion's foal with the mare: Plan::name gives its names.
struct PlanRow {
    std::array<NameRef, 5> names;
    std::uint32_t numbers = 0; // into Plan::numbers
};
// The names of a row, in this order.
enum class RowName { Sire, SireSire, SireDamSire, SireSireSire, DamSireSire };

struct Plan {
    std::shared_ptr<const SireIndex> sires; // the rows' names look into it
    std::shared_ptr<const MareLines> mare;  // and into this
    std::vector<PlanRow> rows;              // in the order of the stallions
    std::vector<PlanNumbers> numbers;

    const PlanNumbers& numbersOf(const PlanRow& row) const { return numbers[row.numbers]; }
    std::string_view name(const PlanRow& row, RowName which) const
    {
        const NameRef& ref = row.names[static_cast<std::size_t>(which)];
        return {sires->bytes() + ref.offset, ref.size};
    }
    // A cell as the window shows it: a name, or a number without its blanks.
    std::string_view cell(const PlanRow& row, PlanColumn column) const;
    double value(const PlanRow& row, PlanColumn column) const
    {
        return summaryNumber(numbersOf(row).summary, summaryColumnOf(column)).value;
    }
    // The foal's seven names in the order of the lineage boxes: the mating's
    // Text3 to Text9.
    AncestorViews lineage(const PlanRow& row) const
    {
        return {name(row, RowName::Sire),
                name(row, RowName::SireSire),
                mare->damSire,
                name(row, RowName::SireSireSire),
                name(row, RowName::SireDamSire),
                name(row, RowName::DamSireSire),
                mare->damDamSire};
    }
};

// The foal of every stallion with the mare. Rows are computed on every core.
Plan planMatings(std::shared_ptr<const SireIndex> sires, const MareLines& mare, const ChefTable& chefs);
// The same with the list's chef rows looked up already.
Plan planMatings(const ListChefs& listChefs, const MareLines& mare);
// The foals of only these stallions (their numbers) with the mare, row k of
// stallion k of `stallions`: the same rows as in her whole plan.
Plan planMatingsOf(const ListChefs& listChefs, const MareLines& mare, const std::vector<std::uint32_t>& stallions);

} // namespace quindle

#pragma once
// The best mares for a stallion: every filly and mare of the breeding file (or
// only some) with the foal she would have by him. The foal has the stallion as
// Sire, her Sire as Dam-Sire and her Dam-Sire as Dam's Dam-Sire, its sire lines
// completed from the sire list exactly as a submitted mating completes them
// (mateLineage), so each row is what the main window shows after submitting
// that mating.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "main_state/record_stallion.h"
#include "data/chef_table.h"
#include "planner/plan_query.h"
#include "planner/sire_plan.h"

namespace quindle {

// The columns of the mares, in the order the command line writes them.
enum class MareColumn { Id, Name, Age, Sex, DamSire, DamDamSire, B, I, C, S, P, Total, Speed, Stamina, Cd, Di };
inline constexpr int kMareColumns = 16;
inline constexpr std::array<std::string_view, kMareColumns> kMareColumnKeys{
    "id", "name", "age", "sex",   "damsire", "damdamsire", "B",  "I",
    "C",  "S",    "P",   "total", "speed",   "stamina",    "cd", "di"};
inline constexpr int kMareTextColumns = 6; // id .. damdamsire

// The texts of a row, kept one after another in BestMares::texts: hers, and her
// Sire and Dam-Sire (the foal's Dam-Sire and Dam's Dam-Sire).
enum class MareText { Name, Age, Sex, DamSire, DamDamSire };
inline constexpr int kMareTexts = 5;

struct MareRow {
    std::int32_t id = 0;
    std::uint32_t numbers = 0; // into BestMares::numbers
    std::uint32_t lines = 0;   // into BestMares::lines
    std::uint32_t piece = 0;   // the texts are in BestMares::texts[piece]
    std::uint32_t text = 0;    // from here
    std::array<std::uint32_t, kMareTexts> sizes{};
};

struct BestMares {
    std::string stallion;
    // A stallion of the breeding file: his own record gives the Sire's side
    // (the lines look into it); none for a stallion of the sire list.
    std::shared_ptr<const RecordStallion> fromFile;
    std::shared_ptr<const SireIndex> sires; // the completed sire lines look into it
    // The sire lines the list completes for a foal: Sire's Sire, Sire's Sire's
    // Sire, Sire's Dam-Sire and Dam-Sire's Sire. They follow from the stallion
    // and her Sire alone, so rows share them.
    std::vector<std::array<std::string_view, 4>> lines;
    std::vector<MareRow> rows; // in file order
    std::vector<PlanNumbers> numbers;
    // The rows' texts (Latin-1), one string for each piece of the file the rows
    // were read from, each followed by padding that belongs to no text.
    std::vector<std::string> texts;
    std::string error; // the breeding file's first bad field, naming the file and line: rows after it are missing

    std::string_view textOf(const MareRow& row, MareText which) const;
    // Her age when it is a whole number.
    std::optional<std::int32_t> age(const MareRow& row) const;
    // The foal's seven names in the order of the lineage boxes (Text3 .. Text9).
    AncestorViews lineage(const MareRow& row) const;
    const PlanNumbers& numbersOf(const MareRow& row) const { return numbers[row.numbers]; }
    // A number column (B .. di) as the window shows it, without its blanks.
    std::string_view numberText(const MareRow& row, MareColumn column) const;
};

// The mares of the breeding file at `path` with `stallion`, read on `workers`
// threads. `only`, when given, is a sorted list of the identifiers to take
// (the player's mares). Throws FileError when the file cannot be opened.
// With a sink, nothing is kept: the rows of each piece of the file are made
// into text by `format` on the worker that read them (a BestMares of their own:
// its rows, and lists that grow from piece to piece), and the texts go to
// `write` in file order. The result then holds only the error. Reading stops
// when `write` returns false. (Not `emit`: the windows include this, and Qt
// takes that word.)
struct MaresSink {
    std::function<std::string(const BestMares& part)> format;
    std::function<bool(std::string_view text)> write;
    explicit operator bool() const { return static_cast<bool>(format); }
};
BestMares bestMares(const std::string& path, std::shared_ptr<const SireIndex> sires, const std::string& stallion,
                    const ChefTable& chefs, const std::vector<std::int32_t>* only = nullptr, unsigned workers = 0,
                    const MaresSink& sink = {});
// The same with a colt or horse of the breeding file as the stallion.
BestMares bestMares(const std::string& path, std::shared_ptr<const SireIndex> sires,
                    std::shared_ptr<const RecordStallion> stallion, const ChefTable& chefs,
                    const std::vector<std::int32_t>* only = nullptr, unsigned workers = 0, const MaresSink& sink = {});

struct MaresQuery {
    std::optional<std::int32_t> minAge, maxAge; // a mare without a whole-number age is outside any bound
    std::optional<ValueRange> di, cd;
    std::optional<double> minTotal;
    std::optional<MareColumn> sortBy; // none: file order
    bool descending = false;
    std::optional<std::size_t> top;
};

// The rows the query shows, in its order, as selectRows orders a plan: equal
// rows keep file order; numbers numerically, INF above every number and "--"
// below all; the age as a number; the other texts by their bytes.
std::vector<std::uint32_t> selectMares(const BestMares& mares, const MaresQuery& query);

// A column by its key (letters in any case); nullopt when unknown.
std::optional<MareColumn> parseMareColumn(std::string_view key);

} // namespace quindle

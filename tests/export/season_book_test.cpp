// The season book's rows: the same matings, ranks and numbers as the season's
// CSV, each card the main window's mating, and the words above the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "main_state/mating.h"
#include "data/startup.h"
#include "export/assigned_season.h"
#include "export/season_book.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

struct SeasonBookTest : ::testing::Test {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    ChefTable chefs;
    std::shared_ptr<const SireIndex> sires;

    void SetUp() override
    {
        std::filesystem::create_directory(dir.path() / "pdg");
        writeFile(folder.chefTable(), "STAR,2,0,0,0,0\r\nGREY,0,0,2,0,0\r\nCAP,0,0,0,1,1\r\nSIRE 1,0,1,1,0,0\r\n"
                                      "SIRE 2,1,0,0,1,0\r\nDAMSIRE 2,0,0,1,0,0\r\n");
        writeFile(folder.sireList(), "STAR,GREY,CAP,X\r\nGREY,CAP,STAR,X\r\nCAP,STAR,GREY,X\r\n");
        writeFile(folder.breedingFile(), horseLines(1, "FIRST MARE", "Mare") + horseLines(2, "SECOND MARE", "Filly") +
                                             horseLines(3, "A COLT"));
        StartupResult started = runStartup(folder, dir.file("Quindle.nnn"), {});
        ASSERT_EQ(started.status, Outcome::Done);
        chefs = std::move(started.chefs);
        sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    }
    static std::vector<std::string> fields(const std::string& line) // the names here hold no comma
    {
        std::vector<std::string> out(1);
        for (const char c : line)
            if (c == ',')
                out.emplace_back();
            else
                out.back().push_back(c);
        return out;
    }
};

} // namespace

TEST_F(SeasonBookTest, RowsAreTheSeasonsMatingsAndEachCardIsThatMatingSubmitted)
{
    PlanQuery query;
    query.sortBy = PlanColumn::Total;
    query.descending = true;
    SeasonPlan season = planSeason({1, 2, 3}, folder, sires, chefs, query);
    ASSERT_EQ(season.dams.size(), 2u); // the colt is left out
    AssignRules rules;
    rules.bookForAll = 1;
    const SeasonAssignment plan = assignSeason(assignMaresOf(season, false), rules);
    ASSERT_EQ(plan.planned(), 2u);

    const SeasonBook book = seasonBookOf(season, query, &plan, rules);
    std::string csv;
    ASSERT_TRUE(writeAssignedSeasonCsv(season, plan, query.sortBy, [&csv](std::string_view text) {
        csv += text;
        return true;
    }));
    std::vector<std::string> lines;
    for (std::size_t at = csv.find('\n') + 1; at < csv.size(); at = csv.find('\n', at) + 1)
        lines.push_back(csv.substr(at, csv.find('\n', at) - at));
    ASSERT_EQ(book.rows.size(), lines.size());
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const SeasonBookRow& row = book.rows[r];
        const std::vector<std::string> cells = fields(lines[r]);
        ASSERT_TRUE(row.mated()) << row.why;
        EXPECT_EQ(std::to_string(row.damId), cells[0]);
        EXPECT_EQ(row.sire, cells[2]);
        EXPECT_EQ(row.rank, cells[3]);
        for (std::size_t c = 0; c < kSeasonBookNumbers; ++c)
            EXPECT_EQ(row.numbers[c], cells[7 + c]) << lines[r];
        EXPECT_EQ(row.title, row.sire + " x " + row.damName + " (" + cells[0] + ")");
        // The card's boxes are what submitting the mating in the main window shows.
        const SeasonDam& dam = season.dams[r];
        MainBoxes submitted;
        submitMating(submitted, {row.sire, dam.lines.damSire, dam.lines.damDamSire}, folder.sireList(), chefs);
        EXPECT_EQ(bookMatingBoxes(row, chefs), submitted);
    }
    EXPECT_NE(book.rows[0].sire, book.rows[1].sire); // a book of one parts them
    const auto said = [&book](const std::string& words) {
        return std::find(book.heading.begin(), book.heading.end(), words) != book.heading.end();
    };
    EXPECT_TRUE(said("Target: DI any, CD any; sorted by total, highest first."));
    EXPECT_TRUE(said("Book: 1 mare each stallion."));
    EXPECT_TRUE(said("2 of 2 mares given a stallion, ranks adding up to " + std::to_string(plan.rankSum()) + "."));

    // Not decided: each mare's first stallion under the target, and the book says so.
    const SeasonBook open = seasonBookOf(season, query, nullptr, {});
    for (std::size_t d = 0; d < season.dams.size(); ++d) {
        const SeasonDam& dam = season.dams[d];
        EXPECT_EQ(open.rows[d].sire, dam.plan.name(dam.plan.rows[dam.rows.front()], RowName::Sire));
        EXPECT_EQ(open.rows[d].rank, "1");
    }
    EXPECT_NE(open.heading.at(1).find("not decided"), std::string::npos);

    // A target no foal meets: every mare named with why, in the table's stallion column.
    query.minTotal = 999;
    query.di = ValueRange{1.0, 4.0};
    selectSeason(season, query);
    const SeasonAssignment none = assignSeason(assignMaresOf(season, false), rules);
    const SeasonBook empty = seasonBookOf(season, query, &none, rules);
    EXPECT_EQ(empty.heading.front(), "Target: DI 1.00 to 4.00, CD any, total at least 999; sorted by total, highest "
                                     "first.");
    for (const SeasonBookRow& row : empty.rows) {
        EXPECT_EQ(row.why, "no stallion: none in her target");
        EXPECT_EQ(row.cells()[2], row.why);
    }
}

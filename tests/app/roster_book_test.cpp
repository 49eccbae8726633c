// The roster of stallions as the windows and the command line keep it (as My
// Horses is kept), and the season decided within it.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include "app/decided_season.h"
#include "app/roster_book.h"
#include "app/roster_rows.h"
#include "data/sire_list.h"
#include "data/startup.h"
#include "sample_data.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

// A sample data folder (the same the command-line tests plan on) and a roster file beside it.
struct RosterFixture : ::testing::Test {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    std::string file = dir.file("roster.json");
    std::optional<ChefTable> chefs;

    void SetUp() override
    {
        sample::writeDataFolder(folder.dir(), {6000, 11});
        StartupResult start = runStartup(folder, dir.file("Quindle.nnn"), {});
        ASSERT_EQ(start.status, Outcome::Done) << start.error;
        chefs = std::move(start.chefs);
    }
    RosterRead kept() const { return readRoster(file); }
    static RosterKey name(const std::string& text) { return {0, text}; }
};

} // namespace

TEST_F(RosterFixture, ChangesAreCheckedAndKeptAsTheFileIsNow)
{
    RosterBook book;
    ASSERT_EQ(book.openFile(file, folder).status, Outcome::Done); // none kept yet
    // Names of the sire list and colts or horses of the breeding file; the rest named and passed over.
    const RosterChange added = book.add({name("ZARCRESLAN"), name("NO SUCH SIRE"), {12, {}}, {1, {}}}, 2);
    EXPECT_EQ(added.status, Outcome::Done);
    EXPECT_EQ(added.count, 2u);
    EXPECT_EQ(added.passedOver, 2u);
    EXPECT_NE(added.message.find("NO SUCH SIRE is not in the sire list"), std::string::npos) << added.message;
    EXPECT_NE(added.message.find("horse 1 (TANDANLOR) is a Filly"), std::string::npos) << added.message;
    RosterRead read = kept();
    ASSERT_EQ(read.status, Outcome::Done) << read.error;
    ASSERT_EQ(read.roster.stallions.size(), 2u);
    EXPECT_EQ(read.roster.stallions[1].id, 12);
    EXPECT_EQ(read.roster.stallions[1].name, "ROSNEL"); // kept with his name, to mark a changed ID
    EXPECT_EQ(read.roster.stallions[1].book, 2u);

    const RosterChange twice = book.add({name("ZARCRESLAN")});
    EXPECT_EQ(twice.status, Outcome::Absent);
    EXPECT_NE(twice.message.find("in the roster already"), std::string::npos);

    // Books: below 0 refused, 0 kept and said, none for the book of all.
    EXPECT_EQ(book.setBook(name("ZARCRESLAN"), -1).status, Outcome::Failed);
    const RosterChange rested = book.setBook(name("ZARCRESLAN"), 0);
    EXPECT_EQ(rested.status, Outcome::Done);
    EXPECT_NE(rested.message.find("covers no mare"), std::string::npos);
    EXPECT_EQ(book.setBook({12, {}}, std::nullopt).status, Outcome::Done);
    EXPECT_EQ(book.setBook(name("ULNOR"), 3).status, Outcome::Absent);
    read = kept();
    EXPECT_EQ(read.roster.stallions[0].book, 0u);
    EXPECT_FALSE(read.roster.stallions[1].book);

    // A book that has not seen another's change changes the roster as it is now.
    RosterBook other;
    other.openFile(file, folder);
    ASSERT_EQ(other.remove({{12, {}}}).status, Outcome::Done);
    ASSERT_EQ(book.add({name("ULNOR")}).status, Outcome::Done);
    read = kept();
    ASSERT_EQ(read.roster.stallions.size(), 2u);
    EXPECT_EQ(read.roster.stallions[1].name, "ULNOR");
    EXPECT_EQ(book.roster(), read.roster);
    EXPECT_EQ(book.remove({{12, {}}}).status, Outcome::Absent); // gone already
}

TEST_F(RosterFixture, BooksWritingAtOnceKeepEveryStallion)
{
    const SireIndex sires(readSireList(folder.sireList()));
    ASSERT_GE(sires.stallions().size(), 40u);
    std::vector<std::thread> writers;
    for (int part = 0; part < 4; ++part)
        writers.emplace_back([this, part, &sires] {
            RosterBook book;
            book.openFile(file, folder);
            for (std::size_t s = static_cast<std::size_t>(part) * 10; s < static_cast<std::size_t>(part) * 10 + 10; ++s)
                EXPECT_EQ(book.add({name(std::string(sires.stallions()[s]))}).status, Outcome::Done) << s;
        });
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_EQ(kept().roster.stallions.size(), 40u);
}

TEST_F(RosterFixture, MembersWrittenByHandStayAndADamagedFileGoesAsideNamed)
{
    writeFile(file, "{\"note\": \"stud\", \"stallions\": [{\"name\": \"ULNOR\", \"fee\": {\"eur\": [1, 2]}},"
                    " {\"id\": 12, \"name\": \"ROSNEL\", \"book\": 1}], \"z\": null}");
    RosterBook book;
    ASSERT_EQ(book.openFile(file, folder).status, Outcome::Done);
    ASSERT_EQ(book.add({name("ZARCRESLAN")}).status, Outcome::Done);
    ASSERT_EQ(book.setBook(name("ULNOR"), 4).status, Outcome::Done);
    const RosterRead read = kept();
    ASSERT_EQ(read.status, Outcome::Done) << read.error;
    EXPECT_EQ(read.roster.stallions[0].extra, "{\"fee\":{\"eur\":[1,2]}}");
    EXPECT_EQ(read.roster.extra, "{\"note\":\"stud\",\"z\":null}");
    EXPECT_EQ(read.roster.stallions[0].book, 4u);

    // Damaged: named where it is wrong, moved aside whole, the roster starting empty beside it.
    const std::string damaged = "{\"stallions\": [\n  {\"name\": \"ULNOR\"},\n  {\"name\": \"ULNOR\"}]}";
    writeFile(file, damaged);
    const KeptOpen opened = book.openFile(file, folder);
    EXPECT_EQ(opened.status, Outcome::Failed);
    EXPECT_NE(opened.message.find("stallion 2: ULNOR is in the roster twice"), std::string::npos) << opened.message;
    EXPECT_NE(opened.message.find(file + ".damaged"), std::string::npos) << opened.message;
    EXPECT_EQ(book.keptAside(), file + ".damaged");
    EXPECT_EQ(readFile(file + ".damaged"), damaged);
    EXPECT_TRUE(book.roster().stallions.empty());
    writeFile(file, "{\"stallions\": [{\"name\": \"ULNOR\", \"book\": -2}]}");
    EXPECT_NE(book.openFile(file, folder).message.find("\"book\" is not a whole number of mares from 0"),
              std::string::npos);
    writeFile(file, std::string(std::size_t{1} << 20, '{'));
    EXPECT_NE(book.openFile(file, folder).message.find("nested more than 32 levels deep"), std::string::npos);
    EXPECT_EQ(book.keptAside(), file + ".damaged-3");
}

TEST_F(RosterFixture, TheRosterFileStandsBesideTheListOfHorses)
{
    const std::string horses = stableFileFor(folder, dir.file("share"));
    const std::string roster = rosterFileFor(folder, dir.file("share"));
    EXPECT_EQ(std::filesystem::path(roster).parent_path(), std::filesystem::path(horses).parent_path());
    EXPECT_EQ(std::filesystem::path(roster).filename().string(),
              "roster-" + std::filesystem::path(horses).filename().string().substr(7));
}

TEST_F(RosterFixture, TheSeasonDecidedUsesOnlyTheRosterWithinEachOwnBook)
{
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    const std::vector<std::int32_t> dams{1, 3, 4, 6, 8, 9, 10, 13, 15, 16, 17, 18};
    PlanQuery query;
    query.sortBy = PlanColumn::Total;
    query.descending = true;
    SeasonRulesNamed whole;
    whole.bookForAll = 2;
    const DecidedSeason free = decideSeason(folder, *chefs, sires, dams, nullptr, query, whole);
    ASSERT_TRUE(free.refused.empty());

    // The roster: the stallions the whole list gave no mare, one with a book of 0, one unknown.
    std::vector<RosterEntry> roster;
    std::set<std::string> given;
    for (std::size_t m = 0; m < free.plan.mares.size(); ++m)
        if (free.plan.mares[m].stallion)
            given.insert(free.stallionName(*free.plan.mares[m].stallion, *sires));
    for (std::size_t s = 0; s < sires->stallions().size() && roster.size() < 6; ++s)
        if (!given.contains(std::string(sires->stallions()[s])))
            roster.push_back({0, std::string(sires->stallions()[s]),
                              roster.empty() ? std::optional<std::uint32_t>(1) : std::nullopt});
    ASSERT_EQ(roster.size(), 6u);
    roster[5].book = 0;
    roster.push_back({0, "NO SUCH SIRE", std::nullopt});
    roster.push_back({12, "SOMEONE ELSE", std::nullopt}); // the ID now holds ROSNEL: marked, never followed
    SeasonRulesNamed named = whole;
    named.roster = roster;
    // A lock to a stallion outside the roster is refused, and the rest planned.
    named.locks.push_back({"1=" + *given.begin(), 1, *given.begin()});
    const DecidedSeason decided = decideSeason(folder, *chefs, sires, dams, nullptr, query, named);
    ASSERT_TRUE(decided.refused.empty()) << decided.refused;

    std::map<std::string, std::uint32_t> covered;
    for (std::size_t m = 0; m < decided.plan.mares.size(); ++m)
        if (decided.plan.mares[m].stallion)
            ++covered[decided.stallionName(*decided.plan.mares[m].stallion, *sires)];
    EXPECT_GE(decided.plan.planned(), 6u);
    for (const auto& [stallion, mares] : covered) {
        const auto in =
            std::find_if(roster.begin(), roster.end(), [&](const RosterEntry& e) { return e.name == stallion; });
        ASSERT_NE(in, roster.end()) << stallion << " is not in the roster";
        EXPECT_LE(mares, in->book.value_or(2)) << stallion;
    }
    EXPECT_FALSE(covered.contains(roster[5].name)); // a book of 0
    const auto told = [](const std::vector<std::string>& lines, const std::string& part) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != l.npos; });
    };
    EXPECT_TRUE(told(decided.toldFirst, "NO SUCH SIRE is not in the sire list"));
    EXPECT_TRUE(told(decided.toldFirst, "horse 12 is now ROSNEL, not SOMEONE ELSE"));
    EXPECT_FALSE(covered.contains("ROSNEL"));
    const auto rows = rosterRows(Roster{roster, {}}, *sires, folder);
    EXPECT_FALSE(rows.back().usable);
    EXPECT_NE(rows.back().note.find("is now ROSNEL"), std::string::npos) << rows.back().note;
    EXPECT_TRUE(told(decided.toldFirst, roster[5].name + " has a book of 0"));
    EXPECT_TRUE(told(decided.toldAfter, "that stallion is not in the roster"));
    EXPECT_EQ(decided.plan.mares[0].lockRefused, MareAssignment::LockRefused::OutsideRoster);

    // Every stallion of the roster ruled out: said, and no mare given one.
    SeasonRulesNamed none = named;
    none.locks.clear();
    for (const RosterEntry& entry : roster)
        none.excluded.emplace_back(entry.name, entry.name);
    const DecidedSeason nothing = decideSeason(folder, *chefs, sires, dams, nullptr, query, none);
    EXPECT_EQ(nothing.plan.planned(), 0u);
    EXPECT_TRUE(told(nothing.toldFirst, "every stallion of it is ruled out"));
}

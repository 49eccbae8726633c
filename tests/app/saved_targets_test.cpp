// The player's own targets: saved, read back, looked up by name beside the
// built-in ones, and a damaged file kept aside.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "app/saved_targets.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

SavedTarget sprints()
{
    SavedTarget target;
    target.name = "Sprints";
    target.di = ValueRange{1.5, std::nullopt};
    target.cd = ValueRange{0.3, 0.95};
    target.minTotal = 12;
    target.sort = "speed";
    target.descending = true;
    return target;
}

} // namespace

TEST(SavedTargets, SavedTargetsReadBackAndAreFoundByName)
{
    TempDir dir;
    const std::string path = dir.file("app/targets.json");
    TargetBook book;
    ASSERT_EQ(book.open(path).status, Outcome::Done);
    ASSERT_EQ(book.save(sprints()).status, Outcome::Done) << book.save(sprints()).message;
    SavedTarget wide;
    wide.name = "  Wide open ";
    wide.di = ValueRange{std::nullopt, std::numeric_limits<double>::infinity()};
    ASSERT_EQ(book.save(wide).status, Outcome::Done);

    // Another window reads the same file and finds both, with every member as saved.
    TargetBook other;
    ASSERT_EQ(other.open(path).status, Outcome::Done);
    ASSERT_EQ(other.saved().targets.size(), 2u);
    EXPECT_EQ(other.saved().targets[0], sprints());
    EXPECT_EQ(other.saved().targets[1].name, "Wide open");
    EXPECT_EQ(other.saved().targets[1].di->max, std::numeric_limits<double>::infinity());

    // The lookup: letters in any case, the built-in target first, an unknown name nothing.
    const auto found = findTarget("sPRINTS", other.saved());
    ASSERT_TRUE(found);
    PlanQuery query;
    applyTarget(*found, query);
    EXPECT_EQ(query.di->min, 1.5);
    EXPECT_EQ(query.cd->max, 0.95);
    EXPECT_EQ(query.minTotal, 12);
    EXPECT_EQ(query.sortBy, PlanColumn::Speed);
    EXPECT_TRUE(query.descending);
    const auto classic = findTarget("classic distances", other.saved());
    ASSERT_TRUE(classic);
    PlanQuery kept;
    kept.sortBy = PlanColumn::Total;
    applyTarget(*classic, kept);
    EXPECT_EQ(kept.di->max, 4.0);
    EXPECT_EQ(kept.sortBy, PlanColumn::Total); // a built-in target leaves the order alone
    EXPECT_FALSE(findTarget("Stayers", other.saved()));
    EXPECT_EQ(targetNames(other.saved()), "Classic distances, Sprints, Wide open");

    // Saved again under the same name: in its place. A built-in or blank name is refused, the file unchanged.
    SavedTarget again = sprints();
    again.name = "SPRINTS";
    again.minTotal.reset();
    EXPECT_EQ(other.save(again).status, Outcome::Done);
    const std::string before = readFile(path);
    SavedTarget classicName = sprints();
    classicName.name = "Classic Distances";
    EXPECT_EQ(other.save(classicName).status, Outcome::Failed);
    classicName.name = "   ";
    EXPECT_EQ(other.save(classicName).status, Outcome::Failed);
    EXPECT_EQ(readFile(path), before);

    // Saved from the best mares, sorted by age: kept, and the planner's order left as it is.
    SavedTarget young = sprints();
    young.name = "Young";
    young.sort = "age";
    ASSERT_EQ(other.save(young).status, Outcome::Done);
    EXPECT_EQ(readSavedTargets(path).status, Outcome::Done);
    PlanQuery planner;
    planner.sortBy = PlanColumn::Di;
    applyTarget(young, planner);
    EXPECT_EQ(planner.sortBy, PlanColumn::Di);
    EXPECT_EQ(planner.minTotal, 12);
    EXPECT_EQ(other.remove("young").status, Outcome::Done);

    // The first book reads what the other wrote before it removes.
    EXPECT_EQ(book.remove("wide open").status, Outcome::Done);
    EXPECT_EQ(book.remove("wide open").status, Outcome::Absent);
    const SavedTargetsRead read = readSavedTargets(path);
    ASSERT_EQ(read.status, Outcome::Done);
    ASSERT_EQ(read.saved.targets.size(), 1u);
    EXPECT_EQ(read.saved.targets[0].name, "SPRINTS");
    EXPECT_FALSE(read.saved.targets[0].minTotal);
}

TEST(SavedTargets, DamagedFileIsKeptAsideAndTheListStartsAgain)
{
    TempDir dir;
    const std::string path = dir.file("targets.json");
    for (const std::string& damaged :
         {std::string("{\"targets\": [{\"name\": \"A\", \"di\": \"4:1\"}]}"), std::string("{\"targets\": ["),
          std::string("{\"targets\": [{\"name\": \"A\"}, {\"name\": \"a\"}]}"),
          std::string("{\"targets\": [{\"name\": \"A\", \"sort\": \"colour\"}]}")}) {
        writeFile(path, damaged);
        EXPECT_EQ(readSavedTargets(path).status, Outcome::Failed) << damaged;
        TargetBook book;
        const TargetChange opened = book.open(path);
        EXPECT_EQ(opened.status, Outcome::Failed);
        ASSERT_FALSE(book.keptAside().empty());
        EXPECT_NE(opened.message.find(book.keptAside()), std::string::npos);
        EXPECT_EQ(readFile(book.keptAside()), damaged); // kept as it was
        EXPECT_TRUE(book.saved().targets.empty());
        EXPECT_EQ(book.save(sprints()).status, Outcome::Done);
        EXPECT_EQ(readSavedTargets(path).saved.targets.size(), 1u);
        std::filesystem::remove(path);
    }
    EXPECT_TRUE(std::filesystem::exists(path + ".damaged-4")); // each kept under a name of its own
}

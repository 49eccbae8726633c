// The window and quindle-cli must show the same texts for the same horse.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dosage/format.h"
#include "gui_fixture.h"
#include "export/text_forms.h"
#include "support/run_process.h"
#include "stable/stable_file.h"
#include "support/temp_dir.h"
#include "ui/best_mares_pane.h"
#include "ui/mares_model.h"
#include "ui/my_horses_form.h"
#include "ui/my_horses_model.h"
#include "ui/planner_form.h"
#include "ui/planner_model.h"
#include "ui/search_form.h"
#include "ui/search_model.h"
#include "ui/stable_store.h"
#include "ui/sub_form.h"
#include "ui/twips.h"

using namespace quindle;
using quindle::testing::GuiTest;
using quindle::testing::ptBox;

class CliParityTest : public GuiTest {};

TEST_F(CliParityTest, ShowJsonEqualsTheBoxesOfAFreshWindow)
{
    for (const int id : {1, 2, 3, 4, 5, 6, 90000}) {
        main = std::make_unique<ui::MainForm>(folder, main->chefs());
        main->show();
        lookUp(QString::number(id));
        MainBoxes shown = main->readBoxes();
        // The colours as painted, not as remembered.
        const QColor text2 = colourOf(main->text(2)), ageSex = colourOf(main->ageSex());
        shown.horseColour = {static_cast<std::uint8_t>(text2.red()), static_cast<std::uint8_t>(text2.green()),
                             static_cast<std::uint8_t>(text2.blue())};
        shown.ageSexColour = {static_cast<std::uint8_t>(ageSex.red()), static_cast<std::uint8_t>(ageSex.green()),
                              static_cast<std::uint8_t>(ageSex.blue())};
        const bool found = !main->text(2)->text().isEmpty();

        const auto r = quindle::testing::runProcess(
            QUINDLE_CLI, {"--data-dir", folder.dir(), "show", "--json", std::to_string(id)}, dir.path().string());
        EXPECT_EQ(r.exitCode, found ? 0 : 1) << r.err;
        const std::string prefix = "\"id\":" + std::to_string(id) + ",\"found\":" + (found ? "true" : "false") + ",";
        const std::size_t named = r.out.find(",\"name\":");
        ASSERT_NE(named, std::string::npos) << r.out;
        EXPECT_EQ(r.out.substr(0, named) + "}\n", boxesJson(shown, prefix) + "\n") << "identifier " << id;
        // The members named for scripts say what the window shows, as numbers.
        if (!found)
            continue;
        const auto box = [&](int i) { return ptBox(main, i)->text().trimmed().toStdString(); };
        std::string di = box(kDiBox) == "INF" ? "\"INF\"" : box(kDiBox) == "--" ? "null" : box(kDiBox);
        while (di.find('.') != std::string::npos && (di.back() == '0' || di.back() == '.'))
            di.pop_back(); // the box cuts to two places; the member is the whole number

        for (const std::string& member :
             {"\"name\":" + jsonString(main->text(2)->text().toStdString()),
              "\"pedigree\":{\"sire\":" + jsonString(main->text(3)->text().toStdString()),
              "\"total\":" + (box(kTotalBox).empty() ? "0" : box(kTotalBox)), "\"di\":" + di})
            EXPECT_NE(r.out.find(member), std::string::npos) << member << " in " << r.out;
    }
}

TEST_F(CliParityTest, AMatingWithAStallionOfTheBreedingFileIsTheSameInTheWindowAndMateJson)
{
    // WELL, WELL (horse 5) is a horse the name boxes could not type and no sire list holds.
    for (const int id : {5, 2}) {
        main = std::make_unique<ui::MainForm>(folder, main->chefs());
        main->show();
        lookUp(QString::number(id));
        ASSERT_TRUE(main->shownStallion());
        main->useAsSireFromFile(*main->shownStallion());
        main->subForm()->setNames({main->shownStallion()->name, "RED CAP", "OLD GREY"});
        main->subForm()->submitClick();
        const auto r = quindle::testing::runProcess(
            QUINDLE_CLI,
            {"--data-dir", folder.dir(), "mate", "--json", "#" + std::to_string(id), "RED CAP", "OLD GREY"},
            dir.path().string());
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.substr(0, r.out.find(",\"name\":")) + "}", boxesJson(main->readBoxes())) << id;
        EXPECT_TRUE(main->subForm()->windowTitle().contains("from the breeding file, horse " + QString::number(id)));
    }
}

namespace {

// What the planner window's Export writes, without the line above the table that names the mare.
std::string exportedRows(ui::PlannerForm* planner, const std::string& path)
{
    EXPECT_TRUE(planner->exportTo(QString::fromStdString(path)));
    const std::string csv = quindle::testing::readFile(path);
    return csv.substr(csv.find('\n') + 1);
}

// The lines of a command's output, and a CSV line's fields as written (quotes kept).
std::vector<std::string> csvLines(const std::string& out)
{
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < out.size();) {
        const std::size_t end = out.find('\n', from);
        lines.push_back(out.substr(from, end - from));
        from = end == std::string::npos ? out.size() : end + 1;
    }
    return lines;
}
std::vector<std::string> csvFields(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

} // namespace

TEST_F(CliParityTest, PlanningForAMareGivesTheSameRowsAndRefusalsInThePlannerAndSires)
{
    // BRIGHT FILLY (1) and the 'mare' in lower case (3), by their identifiers.
    for (const int id : {1, 3}) {
        lookUp(QString::number(id));
        main->openPlanner();
        ui::PlannerForm* planner = main->plannerForm();
        ASSERT_NE(planner, nullptr);
        planner->planForShownHorse(id);
        EXPECT_SOON(!planner->busy(), 10000);
        EXPECT_GT(planner->model()->rowCount(), 0) << "mare " << id;
        const auto r = quindle::testing::runProcess(
            QUINDLE_CLI, {"--data-dir", folder.dir(), "sires", "--dam", std::to_string(id)}, dir.path().string());
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(exportedRows(planner, dir.file("plan.csv")), r.out) << "mare " << id;
    }
    // Her lines typed: the foal's Dam-Sire alone.
    ui::PlannerForm* planner = main->plannerForm();
    planner->planForLines(QStringLiteral("NORTH STAR"), QString());
    EXPECT_SOON(!planner->busy(), 10000);
    EXPECT_GT(planner->model()->rowCount(), 0);
    const auto typed = quindle::testing::runProcess(
        QUINDLE_CLI, {"--data-dir", folder.dir(), "sires", "--damsire", "NORTH STAR"}, dir.path().string());
    EXPECT_EQ(typed.exitCode, 0) << typed.err;
    EXPECT_EQ(exportedRows(planner, dir.file("typed.csv")), typed.out);

    // A gelding (4) is no mare to plan for: both say so in the same words, and plan nothing.
    lookUp("4");
    planner->planForShownHorse(4);
    EXPECT_SOON(!planner->busy(), 10000);
    const auto gelding = quindle::testing::runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "sires", "--dam", "4"},
                                                      dir.path().string());
    EXPECT_EQ(gelding.exitCode, 1);
    EXPECT_EQ(planner->model()->rowCount(), 0);
    const QString said = planner->findChild<QLabel*>("mareStatus")->text();
    EXPECT_FALSE(said.isEmpty());
    EXPECT_EQ("quindle-cli: " + said.toStdString() + "\n", gelding.err);
}

TEST_F(CliParityTest, FindListsTheSameHorsesInTheSearchWindowAndFind)
{
    main->openSearch();
    ui::SearchForm* search = main->searchForm();
    ASSERT_NE(search, nullptr);
    EXPECT_SOON(!search->busy(), 10000);
    for (const char* text : {"l", "ll", "colt", "well, w", "no such horse"}) {
        search->textBox()->setText(QString::fromLatin1(text));
        EXPECT_SOON(!search->busy(), 10000);
        // The window's ID, Name, Sire and Dam-Sire as CSV fields (its Age/Sex is one column).
        std::vector<std::string> shown;
        for (int row = 0; row < search->model()->rowCount(); ++row) {
            const auto cell = [&](int column) {
                return search->model()->data(search->model()->index(row, column), Qt::DisplayRole).toString();
            };
            shown.push_back(cell(0).toStdString() + "," + csvField(cell(1).toStdString()) + "," +
                            csvField(cell(3).toStdString()) + "," + csvField(cell(4).toStdString()));
        }
        const auto r =
            quindle::testing::runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "find", text}, dir.path().string());
        EXPECT_EQ(shown.empty(), std::string_view(text) == "no such horse") << text;
        EXPECT_EQ(r.exitCode, shown.empty() ? 1 : 0) << text;
        std::vector<std::string> written;
        for (const std::string& line : csvLines(r.out)) {
            const std::vector<std::string> fields = csvFields(line);
            ASSERT_EQ(fields.size(), 6u) << line;
            written.push_back(fields[0] + "," + fields[1] + "," + fields[4] + "," + fields[5]);
        }
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written.front(), "id,name,sire,damsire");
        EXPECT_EQ(shown, std::vector<std::string>(written.begin() + 1, written.end())) << text;
    }
}

TEST_F(CliParityTest, MyHorsesTheBestMaresAmongThemAndAStallionsFoalsAreTheSameInTheWindowsAndTheCommands)
{
    // The player's list: the filly, the 'mare', the gelding and horse 77, which the breeding file no longer holds.
    Stable kept;
    for (const auto& [id, name] : {std::pair{1, "BRIGHT FILLY"}, {3, "LOWER MARE"}, {4, "GELDING ONE"}, {77, "GONE"}})
        kept.add(id, name);
    const std::string list = dir.file("stable.json");
    quindle::testing::writeFile(list, stableText(kept, folder.dir()));
    main->stable()->openFile(QString::fromStdString(list), folder.dir(), main.get());
    ASSERT_EQ(main->stable()->stable().horses.size(), 4u);
    const auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", folder.dir()});
        return quindle::testing::runProcess(QUINDLE_CLI, args, dir.path().string());
    };

    // My Horses shows what `stable list` writes: each field as the CSV has it, Age/Sex in one column.
    main->openMyHorses();
    ui::MyHorsesForm* horses = main->myHorsesForm();
    ASSERT_NE(horses, nullptr);
    EXPECT_SOON(horses->model()->rowCount() == 4, 10000);
    const auto listed = cli({"stable", "--stable", list, "list"});
    EXPECT_EQ(listed.exitCode, 1) << listed.err; // horse 77 is told of
    const std::vector<std::string> lines = csvLines(listed.out);
    ASSERT_GE(lines.size(), 5u) << listed.out;
    for (int row = 0; row < 4; ++row) {
        const std::vector<std::string> fields = csvFields(lines[static_cast<std::size_t>(row) + 1]);
        ASSERT_EQ(fields.size(), 9u) << lines[static_cast<std::size_t>(row) + 1];
        const auto shown = [&](ui::MyHorsesModel::Column column) {
            return horses->model()->data(horses->model()->index(row, column), Qt::DisplayRole).toString().toStdString();
        };
        EXPECT_EQ(fields[0], shown(ui::MyHorsesModel::Id));
        EXPECT_EQ(fields[1], csvField(shown(ui::MyHorsesModel::Name)));
        EXPECT_NE(shown(ui::MyHorsesModel::AgeSex).find(fields[3]), std::string::npos) << fields[3];
        for (const auto& [field, column] : {std::pair{4, ui::MyHorsesModel::Sire},
                                            {5, ui::MyHorsesModel::DamSire},
                                            {6, ui::MyHorsesModel::Total},
                                            {7, ui::MyHorsesModel::Di},
                                            {8, ui::MyHorsesModel::Cd}})
            EXPECT_EQ(fields[static_cast<std::size_t>(field)], csvField(shown(column))) << "row " << row;
    }

    // The best mares among them: the same rows, and the same words for the horses left out.
    main->openBestMares("RED CAP");
    ui::BestMaresPane* pane = main->plannerForm()->maresPane();
    QCheckBox* onlyMine = pane->findChild<QCheckBox*>("onlyMyHorses");
    ASSERT_NE(onlyMine, nullptr);
    onlyMine->setChecked(true);
    EXPECT_SOON(!main->plannerForm()->busy() && pane->model()->rowCount() > 0, 10000);
    EXPECT_TRUE(pane->exportTo(QString::fromStdString(dir.file("mares.csv"))));
    const std::string exported = quindle::testing::readFile(dir.file("mares.csv"));
    const auto mares = cli({"mares", "--sire", "RED CAP", "--stable", list, "--sort", "total,desc"});
    EXPECT_EQ(mares.exitCode, 0) << mares.err;
    EXPECT_EQ(exported.substr(exported.find('\n') + 1), mares.out);
    const QStringList said = pane->findChild<QLabel*>("maresStatus")->text().split('\n');
    std::string told;
    for (qsizetype at = 1; at < said.size(); ++at) // under the line naming the stallion
        told += "quindle-cli: " + said[at].toStdString() + "\n";
    EXPECT_FALSE(told.empty());
    EXPECT_EQ(told, mares.err);
    // A stallion no sire list holds: told in the same words.
    pane->planFor(std::string("NO SUCH STALLION"));
    EXPECT_SOON(!main->plannerForm()->busy(), 10000);
    const auto unlisted = cli({"mares", "--sire", "NO SUCH STALLION"});
    EXPECT_EQ(unlisted.exitCode, 1);
    EXPECT_EQ("quindle-cli: " + pane->findChild<QLabel*>("maresStatus")->text().toStdString() + "\n", unlisted.err);

    // A stallion's foals: the same horses, and the window's averages as `foals --averages` gives them.
    main->openSearch();
    ui::SearchForm* search = main->searchForm();
    for (const char* sire : {"STAR LANTERN (IRE)", "NORTH STAR"}) {
        search->showFoalsOf(QString::fromLatin1(sire));
        EXPECT_SOON(!search->busy(), 10000);
        const auto foals = cli({"foals", "--averages", sire});
        EXPECT_EQ(foals.exitCode, 0) << foals.err;
        std::vector<std::string> ids;
        for (const std::string& line : csvLines(foals.out))
            ids.push_back(line.substr(0, line.find(',')));
        ASSERT_GE(ids.size(), 2u) << sire;
        ASSERT_EQ(search->model()->rowCount(), static_cast<int>(ids.size()) - 1) << sire;
        for (int row = 0; row < search->model()->rowCount(); ++row)
            EXPECT_EQ(search->model()->data(search->model()->index(row, 0), Qt::DisplayRole).toString().toStdString(),
                      ids[static_cast<std::size_t>(row) + 1]);
        EXPECT_EQ("quindle-cli: " + search->findChild<QLabel*>("findCount")->text().toStdString() + "\n", foals.err);
    }
}

TEST_F(CliParityTest, ABucketDamagedSinceTheSplitIsCutAgainAndAnsweredAlikeByTheWindowAndShow)
{
    lookUp("2");
    const std::string whole = quindle::testing::readFile(folder.bucketFile(0));
    const auto damage = [&] { quindle::testing::writeFile(folder.bucketFile(0), whole.substr(0, whole.size() / 2)); };
    lookUp("1");
    damage();
    lookUp("2");
    EXPECT_TRUE(seam.warnings.empty());
    damage();
    const auto r = quindle::testing::runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "show", "--json", "2"},
                                                dir.path().string());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find(",\"name\":")) + "}\n",
              boxesJson(main->readBoxes(), "\"id\":2,\"found\":true,") + "\n");
    EXPECT_EQ(quindle::testing::readFile(folder.bucketFile(0)), whole);
}

// The window and quindle-cli must show the same texts for the same horse.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dosage/format.h"
#include "gui_fixture.h"
#include "export/text_forms.h"
#include "support/run_process.h"
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

// The window and quindle-cli must show the same texts for the same horse.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui_fixture.h"
#include "export/text_forms.h"
#include "support/run_process.h"
#include "ui/twips.h"

using namespace quindle;
using quindle::testing::GuiTest;

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
        shown.text2Colour = {static_cast<std::uint8_t>(text2.red()), static_cast<std::uint8_t>(text2.green()),
                             static_cast<std::uint8_t>(text2.blue())};
        shown.ageSexColour = {static_cast<std::uint8_t>(ageSex.red()), static_cast<std::uint8_t>(ageSex.green()),
                              static_cast<std::uint8_t>(ageSex.blue())};
        const bool found = !main->text(2)->text().isEmpty();

        const auto r = quindle::testing::runProcess(
            QUINDLE_CLI, {"--data-dir", folder.dir(), "show", "--json", std::to_string(id)}, dir.path().string());
        EXPECT_EQ(r.exitCode, found ? 0 : 1) << r.err;
        const std::string prefix = "\"id\":" + std::to_string(id) + ",\"found\":" + (found ? "true" : "false") + ",";
        EXPECT_EQ(r.out, boxesJson(shown, prefix) + "\n") << "identifier " << id;
    }
}

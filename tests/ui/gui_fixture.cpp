#include "gui_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <filesystem>

#include "ui/placement.h"
#include "ui/startup_ui.h"
#include "ui/zoom.h"

namespace quindle::testing {

std::string guiChefTable()
{
    return "STAR LANTERN,2,0,0,0,0\r\n"
           "NORTH STAR,0,1,1,0,0\r\n"
           "OLD GREY,0,0,2,0,0\r\n"
           "RED CAP,0,0,0,1,1\r\n";
}

std::string guiSireList()
{
    return "MR. RED-CAP,NORTH STAR,OLD GREY,STAR LANTERN\r\n"
           "NORTH STAR (IRE),STAR LANTERN,RED CAP,OLD GREY\r\n"
           "RED CAP,OLD GREY,NORTH STAR,STAR LANTERN\r\n";
}

std::string guiBreedingFile()
{
    return "1,BRIGHT FILLY,3,Filly\r\n"
           "11,STAR LANTERN (IRE),NORTH STAR,NOBODY ONE,OLD GREY\r\n"
           "12,RED CAP,NOBODY TWO,DAM A,DAM B\r\n"
           "13,NOBODY THREE,x,y,z\r\n"
           "2,DARK COLT,2,Colt\r\n"
           "21,NOBODY,NOBODY,NOBODY,NOBODY\r\n"
           "22,NOBODY,NOBODY,DAM C,DAM D\r\n"
           "23,NOBODY,x,y,z\r\n"
           "3,LOWER MARE,5,mare\r\n"
           "31,A,B,C,D\r\n"
           "32,E,F,G,H\r\n"
           "33,I,J,K,L\r\n"
           "4,GELDING ONE,6,Gelding\r\n"
           "41,A,B,C,D\r\n"
           "42,E,F,G,H\r\n"
           "43,I,J,K,L\r\n"
           "5,\"WELL, WELL\",4,Horse\r\n"
           "51,NORTH STAR,B,C,D\r\n"
           "52,E,F,G,H\r\n"
           "53,I,J,K,L\r\n";
}

void GuiTest::SetUp()
{
    ui::setSeam(&seam);
    std::filesystem::create_directory(dir.path() / "pdg");
    writeFile(folder.chefTable(), guiChefTable());
    writeFile(folder.sireList(), guiSireList());
    writeFile(folder.breedingFile(), guiBreedingFile());
    chefBefore_ = guiChefTable();
    siresBefore_ = guiSireList();
    breedingBefore_ = guiBreedingFile();
    auto chefs = ui::startUp(folder, dir.file("Quindle.nnn"));
    ASSERT_TRUE(chefs.has_value());
    ui::saveZoom(ui::kZoomMin); // every test starts at the designed size, without the chart pane
    QSettings().setValue(QStringLiteral("window/chartPane"), false);
    ui::saveMatingWindowPlace(std::nullopt); // and the mating window beside the main window
    main = std::make_unique<ui::MainForm>(folder, std::move(*chefs));
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    main->activateWindow();
    main->searchID()->setFocus();
}

void GuiTest::TearDown()
{
    main.reset();
    ui::setSeam(nullptr);
    // Nothing a window does may change the input files.
    EXPECT_EQ(readFile(folder.chefTable()), chefBefore_);
    EXPECT_EQ(readFile(folder.sireList()), siresBefore_);
    EXPECT_EQ(readFile(folder.breedingFile()), breedingBefore_);
}

void GuiTest::type(QLineEdit* box, const QString& keys) { QTest::keyClicks(box, keys); }

void GuiTest::paste(QLineEdit* box, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

void GuiTest::lookUp(const QString& id)
{
    main->searchID()->clear();
    type(main->searchID(), id);
    QTest::mouseClick(named<QPushButton>(main, "GO"), Qt::LeftButton);
}

DataFolder GuiTest::chooseAnotherFolder(const TempDir& other, const std::string& sireList, const std::string& breeding)
{
    const DataFolder second(other.path().string());
    writeFile(second.chefTable(), guiChefTable());
    writeFile(second.sireList(), sireList);
    writeFile(second.breedingFile(), breeding);
    seam.folderAnswers = {QString::fromStdString(second.dir())};
    main->chooseDataFolder();
    return second;
}

QString GuiTest::ptText(int index) const { return ptBox(main, index)->text(); }

QColor GuiTest::colourOf(QLineEdit* box) const { return box->palette().color(QPalette::Base); }

} // namespace quindle::testing

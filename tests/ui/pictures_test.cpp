// The pictures: the profile chart drawn into an image and measured against its
// numbers, the main window's chart pane, the miniature bars of the planner,
// the crop of a stallion, the card as PDF read back by Poppler, and the
// comparison against the main window's own boxes.
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#endif

#include "main_state/shown_profile.h"
#include "data/stamp.h"
#include "dosage/chart_scale.h"
#include "gui_fixture.h"
#include "sample_data.h"
#include "search/foal_crop.h"
#include "ui/compare_chart.h"
#include "ui/compare_form.h"
#include "ui/note_mark.h"
#include "ui/crop_chart.h"
#include "ui/planner_form.h"
#include "ui/planner_model.h"
#include "ui/profile_chart.h"
#include "ui/search_form.h"
#include "ui/search_model.h"
#include "ui/startup_ui.h"
#include "ui/zoom.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

// Pixels of exactly `colour` in column x of the image, and the lowest of them.
struct PixelRun {
    int count = 0;
    int lowest = -1;
};
PixelRun columnRun(const QImage& image, int x, const QColor& colour)
{
    PixelRun run;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) == colour) {
            ++run.count;
            run.lowest = y;
        }
    return run;
}

int pixelsOf(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

QFont chartFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(12);
    return font;
}

QImage render(const QSize& size, const QColor& background, const std::function<void(QPainter&)>& paint)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setFont(chartFont());
    paint(painter);
    return image;
}

#ifndef _WIN32 // Poppler's tools read the card where the tests have them
QString runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("(%1 failed: %2)").arg(tool, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}
#endif

} // namespace

TEST(ProfileChart, BarsStandInProportionOnTheSharedScaleAndTheCdMarkAtItsPlace)
{
    const DosageProfile profile = profileOfTotals({2, 4, 0, 8, 1}); // CD 0.27
    const int scale = 12;                                           // as shared with a larger chart
    const QRectF area(0, 0, 220, 320);
    const QImage image = render(area.size().toSize(), Qt::white, [&](QPainter& p) {
        ui::paintProfileChart(p, area, profile, scale, QPalette(Qt::white));
    });
    const ui::ProfileChartLayout layout = ui::profileChartLayout(area, QFontMetricsF(chartFont()).height());
    for (int g = 0; g < kGroups; ++g) {
        const QRectF& bar = layout.bars[static_cast<std::size_t>(g)];
        const PixelRun run = columnRun(image, static_cast<int>(bar.center().x()), ui::barColour());
        const int points = profile.groupTotal[static_cast<std::size_t>(g)];
        EXPECT_EQ(run.count, std::lround(bar.height() * points / scale)) << "group " << g;
        if (points > 0) {
            EXPECT_EQ(run.lowest, static_cast<int>(bar.bottom()) - 1) << "group " << g;
        }
    }
    // The mark's middle where the CD stands on the scale from -2 to +2.
    const int y = static_cast<int>(layout.cdScale.center().y());
    std::vector<int> xs;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == ui::cdMarkColour())
            xs.push_back(x);
    ASSERT_FALSE(xs.empty());
    const double middle = (xs.front() + xs.back() + 1) / 2.0;
    EXPECT_NEAR(middle, layout.cdScale.left() + layout.cdScale.width() * cdPlace(*profile.cd), 1.0);

    // Nothing, or a profile without points: no bar and no mark.
    for (const auto& empty : {std::optional<DosageProfile>(), std::optional(profileOfTotals({}))}) {
        const QImage blank = render(area.size().toSize(), Qt::white, [&](QPainter& p) {
            ui::paintProfileChart(p, area, empty, scale, QPalette(Qt::white));
        });
        EXPECT_EQ(pixelsOf(blank, ui::barColour()), 0);
        EXPECT_EQ(pixelsOf(blank, ui::cdMarkColour()), 0);
    }

    // On a dark palette the letters and numbers are drawn light.
    QPalette dark;
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Mid, Qt::gray);
    const QImage night = render(area.size().toSize(), Qt::black,
                                [&](QPainter& p) { ui::paintProfileChart(p, area, profile, scale, dark); });
    int light = 0; // antialiased letters are light, not all pure white
    for (int y = 0; y < night.height(); ++y)
        for (int x = 0; x < night.width(); ++x)
            light += night.pixelColor(x, y).lightness() > 160;
    EXPECT_GT(light, 50);

    // The miniature bars of a table cell, on the same rule.
    const QImage mini = render({50, 24}, Qt::white, [&](QPainter& p) {
        ui::paintMiniBars(p, QRectF(0, 0, 50, 24), profile.groupTotal, scale, ui::barColour());
    });
    for (int g = 0; g < kGroups; ++g)
        EXPECT_EQ(columnRun(mini, 10 * g + 1, ui::barColour()).count,
                  std::lround(24.0 * profile.groupTotal[static_cast<std::size_t>(g)] / scale));
}

TEST_F(GuiTest, TheChartPaneWidensTheWindowWithoutMovingABoxFollowsTheBoxesAndIsRemembered)
{
    std::vector<QRect> before;
    const auto boxes = main->findChildren<QLineEdit*>();
    for (QLineEdit* box : boxes)
        before.push_back(box->geometry());
    const int narrow = main->width();
    EXPECT_FALSE(main->chartShown());

    QTest::keyClick(main.get(), Qt::Key_K, Qt::ControlModifier);
    ASSERT_TRUE(main->chartShown());
    EXPECT_GT(main->width(), narrow);
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i]->geometry(), before[static_cast<std::size_t>(i)]) << boxes[i]->objectName().toStdString();
        EXPECT_LE(boxes[i]->geometry().right(), main->chart()->geometry().left());
    }
    EXPECT_LE(main->chart()->geometry().right(), main->width());

    lookUp("1");
    const auto shown = main->chart()->profile();
    ASSERT_TRUE(shown.has_value());
    for (int g = 0; g < kGroups; ++g)
        EXPECT_EQ(QString::number(shown->groupTotal[static_cast<std::size_t>(g)]),
                  ptText(kGroupTotalBox + g).trimmed());
    EXPECT_TRUE(main->chart()->toolTip().contains("DI " + ptText(kDiBox).trimmed()));
    EXPECT_TRUE(main->chart()->toolTip().contains("CD " + ptText(kCdBox).trimmed()));
    lookUp("99");
    EXPECT_FALSE(main->chart()->profile().has_value());

    // At 200 % the pane is twice as large, beside boxes twice as large.
    const QSize small = main->chart()->size();
    main->setZoom(200);
    EXPECT_NEAR(main->chart()->width(), 2 * small.width(), 2);
    main->setZoom(100);

    // The context menu offers the pane, checked; a new window opens with it.
    QMenu menu;
    main->addWindowActions(&menu);
    bool offered = false;
    for (QAction* action : menu.actions())
        if (action->text() == "Profile Chart")
            offered = action->isChecked();
    EXPECT_TRUE(offered);
    auto chefs = ui::startUp(folder, dir.file("Quindle.nnn"));
    ASSERT_TRUE(chefs.has_value());
    ui::MainForm second(folder, std::move(*chefs));
    EXPECT_TRUE(second.chartShown());
    QTest::keyClick(main.get(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(main->width(), narrow);
}

TEST_F(GuiTest, ThePlannersMiniatureBarsAreEachRowsGroupTotalsOnOneScale)
{
    main->openPlanner();
    ui::PlannerForm* planner = main->plannerForm();
    named(planner, "damSire")->setText("OLD GREY");
    EXPECT_SOON(!planner->busy() && planner->model()->rowCount() > 0, 10000);
    ui::PlannerModel* model = planner->model();
    const int scale = model->data(model->index(0, ui::PlannerModel::kShapeColumn), ui::kChartScaleRole).toInt();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QVariantList totals =
            model->data(model->index(row, ui::PlannerModel::kShapeColumn), ui::kGroupTotalsRole).toList();
        ASSERT_EQ(totals.size(), kGroups);
        for (int g = 0; g < kGroups; ++g) {
            EXPECT_EQ(totals[g].toString(), model->data(model->index(row, 1 + g), Qt::DisplayRole).toString());
            EXPECT_LE(totals[g].toInt(), scale);
        }
        EXPECT_EQ(model->data(model->index(row, ui::PlannerModel::kShapeColumn), ui::kChartScaleRole).toInt(), scale);
    }
    // A selected row's bars stand out from the highlight, in its text colour.
    planner->table()->selectRow(0);
    const QRect cell = planner->table()->visualRect(model->index(0, ui::PlannerModel::kShapeColumn));
    const QImage picture = planner->table()->viewport()->grab(cell).toImage();
    const QColor ink = planner->table()->palette().color(QPalette::HighlightedText);
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            inked += QColor(picture.pixel(x, y)) == ink;
    EXPECT_GT(inked, 0);
}

TEST_F(GuiTest, TheCardIsOneA4PageWithTheHorseTheGridAndWhereTheDataCameFrom)
{
    main->watchBreedingFile(dir.file("Quindle.nnn"));
    main->saveCardAsPdf(); // nothing shown: nothing to write
    EXPECT_EQ(seam.beeps, 1);
    lookUp("1");
    const QString path = QString::fromStdString(dir.file("card.pdf"));
    ASSERT_TRUE(main->writeCardPdf(path));
#ifndef _WIN32
    EXPECT_TRUE(runTool("pdfinfo", {path}).contains(QRegularExpression("Pages:\\s+1\\n")));
    EXPECT_TRUE(runTool("pdfinfo", {path}).contains("A4"));
    const QString text = runTool("pdftotext", {"-layout", path, "-"});
    for (const QString& expected :
         {QStringLiteral("BRIGHT FILLY"), main->ageSex()->text().trimmed(), QStringLiteral("STAR LANTERN (IRE)"),
          QStringLiteral("Dam's Dam-Sire"), QStringLiteral("Quindle Profile"), "Total " + ptText(kTotalBox).trimmed(),
          "DI " + ptText(kDiBox).trimmed(), QString::fromStdString(folder.dir()),
          QString::fromStdString(*stampTextOf(folder.breedingFile())), QDate::currentDate().toString(Qt::ISODate)})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    // The game writes a new breeding file: the card still names the one its horse was read from.
    const std::string cut = *stampTextOf(folder.breedingFile());
    const std::string original = readFile(folder.breedingFile());
    writeFile(folder.breedingFile(), original + "\r\n");
    ASSERT_TRUE(main->writeCardPdf(path));
    EXPECT_TRUE(runTool("pdftotext", {"-layout", path, "-"}).contains(QString::fromStdString(cut)));
    writeFile(folder.breedingFile(), original);

    // A mating's card is titled by its names.
    main->submitMating({"MR. RED-CAP", "NORTH STAR", "RED CAP"});
    ASSERT_TRUE(main->writeCardPdf(path));
    EXPECT_TRUE(runTool("pdfinfo", {path}).contains("MR. RED-CAP x NORTH STAR / RED CAP"));
    EXPECT_TRUE(runTool("pdftotext", {"-layout", path, "-"}).contains("MR. RED-CAP x NORTH STAR / RED CAP"));
#endif
    // A folder that is not there: the file is named, and nothing stands under the name.
    const QString nowhere = QString::fromStdString(dir.file("no folder/card.pdf"));
    EXPECT_FALSE(main->writeCardPdf(nowhere));
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains(nowhere));
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST(CropOfAStallion, TheBarsCountTheFoalsListedAndMarkTheFoalTheMainWindowShows)
{
    RecordingSeam seam;
    ui::setSeam(&seam);
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {3000, 7, 0, false});
    auto chefs = ui::startUp(folder, dir.file("Quindle.nnn"));
    ASSERT_TRUE(chefs.has_value());
    ui::MainForm main(folder, std::move(*chefs));
    main.show();
    main.searchID()->setText("1");
    main.goClick();
    const QString sire = main.text(3)->text();

    main.openSearch();
    ui::SearchForm* search = main.searchForm();
    EXPECT_SOON(!search->busy(), 20000);
    search->bySire()->setChecked(true);
    search->textBox()->setText(sire);
    EXPECT_SOON(!search->busy() && search->model()->rowCount() > 1, 20000);
    ui::CropChart* crop = search->cropChart();
    EXPECT_TRUE(crop->isVisibleTo(search));

    // The counts from the list's own DI and CD columns.
    FoalCrop counted;
    std::optional<CropPlace> place;
    ui::SearchModel* model = search->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString di = model->data(model->index(row, 9), Qt::DisplayRole).toString();
        const QString cd = model->data(model->index(row, 10), Qt::DisplayRole).toString();
        CropPlace here;
        if (di == "INF") {
            ++counted.diInfinite;
            here.di = CropPlace::Di::Infinite;
        } else if (di == "--") {
            ++counted.diNone;
        } else {
            here.di = CropPlace::Di::Bin;
            here.diBin = std::min(kDiBins - 1, static_cast<int>(di.toDouble() / kDiBinWidth));
            ++counted.di[static_cast<std::size_t>(here.diBin)];
        }
        if (cd == "--") {
            ++counted.cdNone;
        } else {
            here.cdBin = std::min(kCdBins - 1, static_cast<int>((cd.toDouble() + 2) / kCdBinWidth));
            ++counted.cd[static_cast<std::size_t>(*here.cdBin)];
        }
        if (model->idAt(row) == 1)
            place = here;
    }
    EXPECT_EQ(crop->crop().foals, model->rowCount());
    EXPECT_EQ(crop->crop().di, counted.di);
    EXPECT_EQ(crop->crop().diInfinite, counted.diInfinite);
    EXPECT_EQ(crop->crop().diNone, counted.diNone);
    EXPECT_EQ(crop->crop().cd, counted.cd);
    EXPECT_EQ(crop->crop().cdNone, counted.cdNone);
    ASSERT_TRUE(place.has_value());
    ASSERT_TRUE(crop->shown().has_value());
    EXPECT_EQ(crop->shown()->di, place->di);
    EXPECT_EQ(crop->shown()->diBin, place->diBin);
    EXPECT_EQ(crop->shown()->cdBin, place->cdBin);

    // Drawn: every bar's height in proportion to its count; two bars marked.
    const QImage image = crop->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    int marked = 0;
    for (const auto& bar : crop->bars()) {
        const double ratio = image.width() / static_cast<double>(crop->width());
        const PixelRun run = columnRun(image, static_cast<int>(bar.slot.center().x() * ratio), ui::barColour());
        EXPECT_NEAR(run.count, std::lround(bar.slot.height() * bar.count / crop->scale()) * ratio, 1.0);
        marked += bar.shown;
    }
    EXPECT_EQ(marked, 2);

    // At 200 % the bars keep their room beside the larger text.
    const double tallest = crop->bars()[0].slot.height();
    main.setZoom(200);
    QCoreApplication::processEvents();
    EXPECT_GE(crop->bars()[0].slot.height(), tallest * 1.5);

    main.searchID()->setText("2"); // another sire's foal: nothing marked
    main.goClick();
    if (main.text(3)->text() != sire) {
        EXPECT_FALSE(crop->shown().has_value());
    }
    ui::setSeam(nullptr);
}

TEST_F(GuiTest, TheComparisonShowsWhatTheMainWindowShowsForEachCandidate)
{
    // Each candidate's column against the main window's boxes for it.
    std::vector<MainBoxes> expected;
    lookUp("1");
    QTest::keyClick(main.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    expected.push_back(main->readBoxes());
    main->submitMating({"MR. RED-CAP", "NORTH STAR", "RED CAP"});
    main->compareShown();
    expected.push_back(main->readBoxes());
    lookUp("5");
    main->compareShown();
    expected.push_back(main->readBoxes());
    ui::CompareForm* compare = main->compareForm();
    ASSERT_NE(compare, nullptr);
    ASSERT_EQ(compare->shown().size(), 3u);
    QTableWidget* table = compare->table();
    const auto cell = [table](int row, int c) { return table->item(row, c)->text().remove(" \u2605"); };
    for (int c = 0; c < 3; ++c) {
        const MainBoxes& boxes = expected[static_cast<std::size_t>(c)];
        for (int r = 0; r < kPositions; ++r)
            EXPECT_EQ(cell(r, c),
                      QString::fromLatin1(
                          boxes.lineage[static_cast<std::size_t>(kChartOrder[static_cast<std::size_t>(r)])].c_str()));
        const int rows[] = {kGroupTotalBox,
                            kGroupTotalBox + 1,
                            kGroupTotalBox + 2,
                            kGroupTotalBox + 3,
                            kGroupTotalBox + 4,
                            kTotalBox,
                            kSpeedBox,
                            kStaminaBox,
                            kCdBox,
                            kDiBox};
        for (int r = 0; r < 10; ++r)
            EXPECT_EQ(cell(kPositions + r, c),
                      QString::fromLatin1(boxes.profileTexts[static_cast<std::size_t>(rows[r])].c_str()).trimmed())
                << "row " << r << " candidate " << c;
    }
    // NORTH STAR stands in the mating and in horse 5: marked in both.
    EXPECT_TRUE(table->item(4, 1)->font().bold()); // the mating's Dam-Sire
    EXPECT_TRUE(table->item(0, 2)->font().bold()); // horse 5's Sire

    // A target marks the best DI, the chosen candidate staying chosen; Ctrl+C copies the table as text.
    compare->list()->setCurrentRow(1);
    named(compare, "diMin")->setText("0");
    EXPECT_EQ(compare->list()->currentRow(), 1);
    const bool anyBest = table->item(kPositions + 9, 0)->text().contains(u'\u2605') ||
                         table->item(kPositions + 9, 1)->text().contains(u'\u2605') ||
                         table->item(kPositions + 9, 2)->text().contains(u'\u2605');
    EXPECT_TRUE(anyBest);
    for (int c = 0; c < 3; ++c) {
        const QTableWidgetItem* di = table->item(kPositions + 9, c);
        EXPECT_EQ(di->toolTip(), di->text().contains(u'\u2605') ? "Nearest the target" : "");
    }
    compare->activateWindow();
    EXPECT_SOON(QApplication::activeWindow() == compare, 5000);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), compare->tabText());

    // Again is refused; reordered and removed, the main window's list follows.
    main->compareShown();
    EXPECT_EQ(seam.beeps, 1);
    named<QPushButton>(compare, "addShown")->click(); // the window's own button asks the main window
    EXPECT_EQ(seam.beeps, 2);
    EXPECT_EQ(main->candidates().size(), 3u);
    compare->move(2, -1);
    EXPECT_EQ(main->candidates()[1].horse, 5);
    compare->remove(0);
    ASSERT_EQ(main->candidates().size(), 2u);
    EXPECT_EQ(compare->shown()[0].label, "WELL, WELL (5)");

    // Export: CSV as the core writes it, a PNG of the content, and a file that cannot be written.
    const QString csv = QString::fromStdString(dir.file("compare.csv"));
    ASSERT_TRUE(compare->exportTo(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray::fromStdString(comparisonCsv(compare->shown())));
    const QString png = QString::fromStdString(dir.file("compare.png"));
    ASSERT_TRUE(compare->exportTo(png));
    EXPECT_EQ(QImage(png).size(), compare->content()->grab().size());
    const QString nowhere = QString::fromStdString(dir.file("no folder/compare.csv"));
    EXPECT_FALSE(compare->exportTo(nowhere));
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains(nowhere));
}

TEST_F(GuiTest, AnotherDataFolderKeepsMatingsByNameAndMarksAHorseThatIsGone)
{
    lookUp("1");
    main->compareShown();
    main->submitMating({"MR. RED-CAP", "NORTH STAR", "RED CAP"});
    main->compareShown();
    const auto mating = main->compareForm()->shown()[1];
    main->compareForm()->close();

    TempDir other;
    chooseAnotherFolder(other, guiSireList(), horseLines(1, "ANOTHER", "Mare"));

    main->openCompare(); // kept for the run, shown again from the new folder
    const auto& shown = main->compareForm()->shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].gone); // another horse holds the ID there
    EXPECT_EQ(shown[0].label, "(gone) BRIGHT FILLY (1)");
    EXPECT_FALSE(shown[1].gone);
    EXPECT_EQ(shown[1].lineage, mating.lineage);
    EXPECT_EQ(shown[1].summary, mating.summary);
}

TEST_F(GuiTest, TheComparisonMarksRepeatedSiresApartFromSharedNamesAndFollowsTheZoom)
{
    // OLD GREY and NORTH STAR repeat within the mating; NORTH STAR is horse 5's Sire as well.
    main->submitMating({"RED CAP", "OLD GREY", "NORTH STAR"});
    main->compareShown();
    lookUp("5");
    main->compareShown();
    ui::CompareForm* compare = main->compareForm();
    ASSERT_NE(compare, nullptr);
    QTableWidget* table = compare->table();
    const auto at = [table](int position, int candidate) {
        return table->item(
            static_cast<int>(std::find(kChartOrder.begin(), kChartOrder.end(), position) - kChartOrder.begin()),
            candidate);
    };
    const QImage picture = table->viewport()->grab().toImage();
    const auto marked = [&](QTableWidgetItem* item) { // the corner's mark in the cell's top right quarter
        const QRect cell = table->visualItemRect(item);
        for (int y = cell.top(); y < cell.center().y(); ++y)
            for (int x = cell.center().x(); x <= cell.right(); ++x)
                if (QColor(picture.pixel(x, y)) == ui::noteMarkColour())
                    return true;
        return false;
    };
    // Positions: 0 Sire, 1 Sire's Sire, 2 Dam-Sire, 3 Sire's Sire's Sire, 6 Dam's Dam-Sire.
    for (const int position : {1, 2}) {
        ASSERT_EQ(at(position, 0)->text(), "OLD GREY");
        EXPECT_EQ(at(position, 0)->toolTip(), "Repeated sire: OLD GREY 2S x 2D");
        EXPECT_FALSE(at(position, 0)->font().bold()) << "repeated, in no other candidate";
        EXPECT_TRUE(marked(at(position, 0)));
    }
    EXPECT_TRUE(at(6, 0)->font().bold() && marked(at(6, 0)));
    EXPECT_EQ(at(6, 0)->toolTip(), "Also in another candidate\nRepeated sire: NORTH STAR 3S x 3D");
    ASSERT_EQ(at(0, 1)->text(), "NORTH STAR");
    EXPECT_TRUE(at(0, 1)->font().bold());
    EXPECT_FALSE(marked(at(0, 1)));
    EXPECT_FALSE(marked(at(3, 0)));

    // At 200 % it opens larger, inside the screen, with rows for its face and every name whole.
    const QSize at100 = compare->size();
    compare->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main->setZoom(200);
    main->openCompare();
    compare = main->compareForm();
    table = compare->table();
    EXPECT_GE(compare->width(), 2 * at100.width() - 2);
    EXPECT_GT(compare->height(), at100.height());
    EXPECT_TRUE(compare->screen()->availableGeometry().contains(compare->geometry()));
    EXPECT_GE(table->verticalHeader()->defaultSectionSize(), QFontMetrics(table->font()).height());
    QFont bold = table->font();
    bold.setBold(true);
    for (int c = 0; c < table->columnCount(); ++c)
        for (int r = 0; r < table->rowCount(); ++r)
            EXPECT_GE(table->columnWidth(c), QFontMetrics(bold).horizontalAdvance(table->item(r, c)->text()) + 4);
}

#ifndef _WIN32
// What is not a regular file, and a full disk: the card and the comparison's
// exports are refused with the system's reason, and nothing is written over
// what stands under the name.
TEST_F(GuiTest, ACardOrAnExportOntoAFifoOrAFullDiskSaysWhyAndWritesNothing)
{
    lookUp("1");
    main->compareShown();
    main->submitMating({"MR. RED-CAP", "NORTH STAR", "RED CAP"});
    main->compareShown();
    main->openCompare();
    ui::CompareForm* compare = main->compareForm();
    ASSERT_FALSE(compare->tabText().isEmpty());
    const std::vector<std::pair<std::string, std::function<bool(const QString&)>>> writers = {
        {"card.pdf", [&](const QString& path) { return main->writeCardPdf(path); }},
        {"compare.png", [&](const QString& path) { return compare->exportTo(path); }},
        {"compare.csv", [&](const QString& path) { return compare->exportTo(path); }},
    };
    const auto lastWarning = [&] {
        return seam.warnings.empty() ? std::string() : seam.warnings.back().second.toStdString();
    };

    for (const auto& [name, write] : writers) {
        const std::string fifo = dir.file("fifo " + name);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        EXPECT_FALSE(write(QString::fromStdString(fifo))) << name;
        EXPECT_NE(lastWarning().find(fifo + ": is a FIFO, not a regular file; nothing was written over it"),
                  std::string::npos)
            << lastWarning();
        EXPECT_TRUE(std::filesystem::is_fifo(fifo)) << name;
    }

    // A small file system filled to its last byte, holding an earlier save.
    const std::string full = dir.file("full");
    std::filesystem::create_directory(full);
    if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(errno);
    const struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{full};
    for (const auto& [name, write] : writers)
        writeFile(full + "/" + name, "earlier");
    {
        std::FILE* filler = std::fopen((full + "/filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }
    for (const auto& [name, write] : writers) {
        const std::string path = full + "/" + name;
        EXPECT_FALSE(write(QString::fromStdString(path))) << name;
        EXPECT_NE(lastWarning().find(path + ": could not be written: No space left on device"), std::string::npos)
            << lastWarning();
        EXPECT_EQ(readFile(path), "earlier") << name;
        EXPECT_FALSE(std::filesystem::exists(path + ".new")) << name;
    }
}
#endif

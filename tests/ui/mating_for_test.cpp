// Matings say whom they are for: the mating window's Sire from the breeding
// file and its placeholders, the comparison's titles, the card.
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "main_state/record_stallion.h"
#include "compare/comparison.h"
#include "gui_fixture.h"
#include "ui/compare_form.h"
#include "ui/sub_form.h"

using namespace quindle;
using namespace quindle::testing;

namespace {
#ifndef _WIN32
QString pdfText(const QString& path, const QStringList& options = {})
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), QStringList(options) << path << QStringLiteral("-"));
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}
#endif
} // namespace

TEST_F(GuiTest, TheMatingWindowKeepsWhatItsBlankBoxesKeepInSightAndAddsThatFoalToTheComparison)
{
    lookUp("1"); // BRIGHT FILLY
    main->hypoMateClick();
    ui::SubForm* sub = main->subForm();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sub->box(i)->placeholderText(), main->text(i == 0 ? 3 : i == 1 ? 5 : 9)->text()) << i;
    EXPECT_FALSE(sub->box(1)->placeholderText().isEmpty());

    // Only a Sire typed: the comparison has the foal Submit shows, her dam's side kept, titled with her.
    type(sub->box(0), "RED CAP");
    sub->compareClick();
    sub->submitClick();
    ASSERT_EQ(main->candidates().size(), 1u);
    const CandidateShown shown = showCandidate(main->candidates()[0], folder, main->chefs());
    const MainBoxes boxes = main->readBoxes();
    for (int p = 0; p < kPositions; ++p)
        EXPECT_EQ(shown.lineage[static_cast<std::size_t>(p)], boxes.lineage[static_cast<std::size_t>(p)]) << p;
    EXPECT_EQ(shown.label, "RED CAP x BRIGHT FILLY (1)");
    EXPECT_TRUE(main->windowTitle().contains("foal for BRIGHT FILLY (horse 1)"));
    // The same foal shown, added again, is no second candidate.
    main->compareShown();
    EXPECT_EQ(main->candidates().size(), 1u);
    // After the submission the placeholders follow the foal.
    EXPECT_EQ(sub->box(0)->placeholderText(), "RED CAP");

    // A horse looked up says nothing of a mare in the title.
    lookUp("2");
    EXPECT_FALSE(main->windowTitle().contains("foal for"));
}

TEST_F(GuiTest, UseAsSireWithTheHorseShownTakesHisOwnRecordAndSaysSo)
{
    lookUp("5"); // WELL, WELL: a Horse with a comma in his name, in no sire list
    ASSERT_TRUE(main->shownStallion());
    main->useAsSireFromFile(*main->shownStallion());
    ui::SubForm* sub = main->subForm();
    EXPECT_EQ(sub->box(0)->text(), "WELL, WELL");
    EXPECT_EQ(sub->windowTitle(), QString::fromUtf8("Enter Lineage \u2014 Sire from the breeding file, horse 5"));
    type(sub->box(1), "RED CAP");
    sub->submitClick();
    EXPECT_EQ(main->text(3)->text(), "WELL, WELL");
    EXPECT_EQ(main->text(4)->text(), "NORTH STAR"); // his Sire
    EXPECT_EQ(main->text(6)->text(), "B");          // his Sire's Sire
    EXPECT_EQ(main->text(7)->text(), "E");          // his Dam-Sire
    EXPECT_EQ(main->text(8)->text(), "OLD GREY");   // RED CAP's Sire in the list
    // Another name typed over his is a name of the list again.
    sub->box(0)->selectAll();
    type(sub->box(0), "RED CAP");
    EXPECT_EQ(sub->windowTitle(), "Enter Lineage");
    sub->submitClick();
    EXPECT_EQ(main->text(4)->text(), "OLD GREY");
    // Going back shows his mating again by his own record, not by a name.
    main->goBack();
    EXPECT_EQ(main->text(3)->text(), "WELL, WELL");
    EXPECT_EQ(main->text(4)->text(), "NORTH STAR");
    EXPECT_EQ(sub->windowTitle(), QString::fromUtf8("Enter Lineage \u2014 Sire from the breeding file, horse 5"));
}

TEST_F(GuiTest, TheCardOfAMatingForAMareIsTitledWithHerAndTheTitleFitsThePage)
{
    lookUp("1");
    const QString path = QString::fromStdString(dir.file("card.pdf"));
    ASSERT_TRUE(main->writeCardPdf(path));
#ifndef _WIN32
    EXPECT_TRUE(pdfText(path, {"-layout"}).contains("horse 1")); // a horse's card shows its own ID
    main->hypoMateClick();
    type(main->subForm()->box(0), "MR. RED-CAP");
    main->subForm()->submitClick();
    ASSERT_TRUE(main->writeCardPdf(path));
    const QString text = pdfText(path, {"-layout"});
    EXPECT_TRUE(text.contains("MR. RED-CAP x BRIGHT FILLY (1)")) << text.toStdString();
    EXPECT_TRUE(text.contains("for BRIGHT FILLY (horse 1)")) << text.toStdString();

    // The longest names the boxes take: every word of the title stands inside the page.
    const QString longest = QString(20, QLatin1Char('W'));
    main->submitMating({(longest + "A").toStdString(), (longest + "B").toStdString(), (longest + "C").toStdString()});
    ASSERT_TRUE(main->writeCardPdf(path));
    const QString boxes = pdfText(path, {"-bbox"});
    const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\""));
    const double width = page.match(boxes).captured(1).toDouble();
    ASSERT_GT(width, 0) << boxes.toStdString();
    int seen = 0;
    const QRegularExpression word(QStringLiteral("xMax=\"([0-9.]+)\"[^>]*>(W+[ABC])</word>"));
    for (auto it = word.globalMatch(boxes); it.hasNext();) {
        const auto match = it.next();
        EXPECT_LE(match.captured(1).toDouble(), width) << match.captured(2).toStdString();
        ++seen;
    }
    EXPECT_GE(seen, 3); // the three names of the title, and the chart's boxes
#endif
}

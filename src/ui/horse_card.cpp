#include "ui/horse_card.h"

#include <QDate>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "main_state/mating.h"
#include "main_state/shown_profile.h"
#include "lookup/horse_lookup.h"
#include "ui/fonts.h"
#include "ui/latin1.h"
#include "ui/pedigree_layout.h"
#include "ui/profile_chart.h"
#include "ui/twips.h"
#include "dosage/chart_scale.h"

#if QUINDLE_HAVE_PRINTING
#include <QPrintDialog>
#include <QPrinter>
#endif

namespace quindle::ui {

namespace {

// The card is drawn on a page 1000 units wide.
constexpr double kUnits = 1000;
constexpr double kMargin = 60;
constexpr const char* kGroupLetters[] = {"B", "I", "C", "S", "P"};
constexpr const char* kRowCaptions[] = {
    "Sire", "Sire's Sire", "Dam-Sire", "Sire's Sire's Sire", "Sire's Dam-Sire", "Dam-Sire's Sire", "Dam's Dam-Sire"};

QFont cardFont(double pixels, bool bold = false)
{
    QFont font = windowFont();
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    // No ligatures: the PDF's text reads back letter for letter ("fi" stays two letters).
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

void drawBox(QPainter& painter, const QRectF& box, const QColor& fill, const QString& text, double textSize)
{
    painter.fillRect(box, fill);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(box);
    painter.setFont(cardFont(textSize));
    const QRectF inside = box.adjusted(4, 2, -4, -2);
    painter.drawText(inside, Qt::AlignLeft | Qt::AlignTop,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, static_cast<int>(inside.width())));
}

void paintPedigree(QPainter& painter, const QRectF& area, const HorseCard& card)
{
    const double scale = area.width() / (kChartRight - kChartLeft);
    const auto place = [&](int left, int top, int width, int height) {
        return QRectF(area.left() + (left - kChartLeft) * scale, area.top() + (top - kChartTop) * scale, width * scale,
                      height * scale);
    };
    drawBox(painter, place(kHorseBox.left, kHorseBox.top, kChartWidth, kHorseBox.height), card.horseColour,
            card.chart[2], 15);
    for (const ChartBox& b : kChart)
        drawBox(painter, place(b.left, b.top, kChartWidth, b.height), toQColor(b.male ? kMaleColour : kFemaleColour),
                card.chart[static_cast<std::size_t>(b.number)], 13);
    drawBox(painter, place(kAgeSexBox.left, kAgeSexBox.top, kAgeSexWidth, kAgeSexBox.height), card.ageSexColour,
            card.ageSex, 13);
}

void paintGrid(QPainter& painter, const QRectF& area, const HorseCard& card)
{
    const double row = area.height() / 10;
    const double captionWidth = area.width() * 0.5;
    const double column = (area.width() - captionWidth) / kGroups;
    painter.setPen(Qt::black);
    painter.setFont(cardFont(14, true));
    for (int g = 0; g < kGroups; ++g)
        painter.drawText(QRectF(area.left() + captionWidth + column * g, area.top(), column, row), Qt::AlignCenter,
                         QString::fromLatin1(kGroupLetters[g]));
    painter.setFont(cardFont(14));
    for (int p = 0; p < kPositions; ++p) {
        const double top = area.top() + row * (p + 1);
        painter.drawText(QRectF(area.left(), top, captionWidth, row), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(kRowCaptions[p]));
        for (int g = 0; g < kGroups; ++g) {
            const QRectF cell(area.left() + captionWidth + column * g, top, column, row);
            painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1));
            painter.drawRect(cell);
            painter.setPen(Qt::black);
            painter.drawText(cell, Qt::AlignCenter,
                             card.profileTexts[static_cast<std::size_t>(kGroups * p + g)].trimmed());
        }
    }
    const double totalsTop = area.top() + row * 8.2;
    painter.setFont(cardFont(14, true));
    painter.drawText(QRectF(area.left(), totalsTop, captionWidth, row), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Group totals"));
    for (int g = 0; g < kGroups; ++g)
        painter.drawText(QRectF(area.left() + captionWidth + column * g, totalsTop, column, row), Qt::AlignCenter,
                         card.profileTexts[static_cast<std::size_t>(kGroupTotalBox + g)].trimmed());
    painter.setFont(cardFont(14));
    const auto summary = [&](int box) { return card.profileTexts[static_cast<std::size_t>(box)].trimmed(); };
    painter.drawText(
        QRectF(area.left(), area.top() + row * 9.2, area.width(), row), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Total %1    CD %2    DI %3    Speed %4    Stamina %5")
            .arg(summary(kTotalBox), summary(kCdBox), summary(kDiBox), summary(kSpeedBox), summary(kStaminaBox)));
}

// The title in the room it has, never cut: in smaller type down to a size
// still read at a glance, then on two lines.
void paintTitle(QPainter& painter, const QRectF& room, const QString& title)
{
    for (double size = 36; size >= 22; size -= 2) {
        painter.setFont(cardFont(size, true));
        if (painter.fontMetrics().horizontalAdvance(title) <= room.width()) {
            painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, title);
            return;
        }
    }
    for (double size = 24; size > 8; size -= 2) {
        painter.setFont(cardFont(size, true));
        const QRectF needed = painter.boundingRect(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, title);
        if (needed.width() <= room.width() && needed.height() <= room.height() + 4) {
            painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, title);
            return;
        }
    }
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWrapAnywhere, title);
}

} // namespace

HorseCard cardOf(const std::array<QString, 18>& chart, const QString& ageSex, const MainBoxes& boxes,
                 const DataFolder& folder, const std::optional<std::string>& stamp, const std::string& title,
                 const QString& identity)
{
    HorseCard card;
    card.chart = chart;
    card.identity = identity;
    if (!chart[2].isEmpty())
        card.title = chart[2];
    else if (!title.empty())
        card.title = fromLatin1(title);
    else if (!boxes.lineage[0].empty() || !boxes.lineage[2].empty() || !boxes.lineage[6].empty())
        card.title = fromLatin1(matingLabel(matingNamesOf(boxes))); // a foal of a hypothetical mating
    else
        card.title = QStringLiteral("(no horse shown)");
    card.ageSex = ageSex.trimmed();
    card.horseColour = toQColor(boxes.horseColour);
    card.ageSexColour = toQColor(boxes.ageSexColour);
    for (int i = 0; i < kProfileBoxes; ++i)
        card.profileTexts[static_cast<std::size_t>(i)] = fromLatin1(boxes.profileTexts[static_cast<std::size_t>(i)]);
    card.profile = profileOfBoxes(boxes);
    card.dataFolder = QString::fromStdString(folder.dir());
    card.stamp = stamp ? QString::fromStdString(*stamp) : QStringLiteral("(not readable now)");
    card.date = QDate::currentDate().toString(Qt::ISODate);
    return card;
}

void paintHorseCard(QPainter& painter, const QRectF& page, const HorseCard& card)
{
    painter.save();
    painter.translate(page.topLeft());
    painter.scale(page.width() / kUnits, page.width() / kUnits);
    const double height = page.height() * kUnits / page.width();
    const double width = kUnits - 2 * kMargin;
    painter.fillRect(QRectF(0, 0, kUnits, height), Qt::white);

    painter.setPen(Qt::black);
    paintTitle(painter, QRectF(kMargin, kMargin, width, 50), card.title);
    painter.setFont(cardFont(20));
    painter.drawText(QRectF(kMargin, kMargin + 52, width, 30), Qt::AlignLeft | Qt::AlignVCenter, card.ageSex);
    painter.drawText(QRectF(kMargin, kMargin + 52, width, 30), Qt::AlignRight | Qt::AlignVCenter, card.identity);

    const double chartHeight = width * (kChartBottom - kChartTop) / (kChartRight - kChartLeft);
    paintPedigree(painter, QRectF(kMargin, kMargin + 100, width, chartHeight), card);

    const double profileTop = kMargin + 100 + chartHeight + 40;
    painter.setFont(cardFont(20, true));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(kMargin, profileTop, width, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Quindle Profile"));
    paintGrid(painter, QRectF(kMargin, profileTop + 40, width * 0.55, 400), card);

    QPalette paper;
    paper.setColor(QPalette::WindowText, Qt::black);
    paper.setColor(QPalette::Mid, QColor(0x80, 0x80, 0x80));
    painter.setFont(cardFont(15));
    paintProfileChart(painter, QRectF(kMargin + width * 0.6, profileTop + 40, width * 0.4, 400), card.profile,
                      card.profile ? commonScale(card.profile->groupTotal) : commonScale(GroupTotals{}), paper);

    painter.setFont(cardFont(12));
    painter.setPen(QColor(0x40, 0x40, 0x40));
    const double foot = height - kMargin - 60;
    painter.drawLine(QPointF(kMargin, foot - 8), QPointF(kMargin + width, foot - 8));
    painter.drawText(QRectF(kMargin, foot, width, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Data folder: %1").arg(card.dataFolder));
    painter.drawText(QRectF(kMargin, foot + 20, width, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Breeding file: %1").arg(card.stamp));
    painter.drawText(QRectF(kMargin, foot + 40, width, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Made by Quindle %1 on %2").arg(QStringLiteral(QUINDLE_VERSION), card.date));
    painter.restore();
}

bool writeHorseCardPdf(const HorseCard& card, QIODevice& file)
{
    QPdfWriter pdf(&file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(300);
    pdf.setTitle(card.title);
    pdf.setCreator(QStringLiteral("Quindle"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    paintHorseCard(painter, QRectF(0, 0, pdf.width(), pdf.height()), card);
    return painter.end(); // the PDF is written out here
}

bool cardPrintingAvailable() { return QUINDLE_HAVE_PRINTING != 0; }

void printHorseCard([[maybe_unused]] QWidget* parent, [[maybe_unused]] const HorseCard& card)
{
#if QUINDLE_HAVE_PRINTING
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    // The card keeps A4's proportions inside the printable area.
    const double width = std::min(page.width(), page.height() * 210.0 / 297.0);
    paintHorseCard(painter, QRectF(0, 0, width, width * 297.0 / 210.0), card);
#endif
}

} // namespace quindle::ui

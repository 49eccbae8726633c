#include "ui/profile_chart.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "dosage/chart_scale.h"
#include "dosage/format.h"
#include "dosage/profile_summary.h"
#include "ui/latin1.h"

namespace quindle::ui {

namespace {

constexpr const char* kGroupLetters[] = {"B", "I", "C", "S", "P"};

bool hasPoints(const std::optional<DosageProfile>& profile) { return profile && profile->total > 0; }

QString trimmedText(const std::string& text) { return QString::fromLatin1(text.c_str()).trimmed(); }

} // namespace

QColor barColour() { return QColor(0x3f, 0x7f, 0xbf); }

QColor cdMarkColour() { return QColor(0xe0, 0x60, 0x10); }

ProfileChartLayout profileChartLayout(const QRectF& area, double textHeight)
{
    ProfileChartLayout layout;
    const double margin = std::max(3.0, std::min(area.width(), area.height()) * 0.04);
    const QRectF inner = area.adjusted(margin, margin, -margin, -margin);
    const double line = textHeight * 1.3;
    // From the bottom: the DI, the CD scale with its ticks' labels, the total, the letters.
    layout.diText = QRectF(inner.left(), inner.bottom() - line, inner.width(), line);
    const double cdTop = layout.diText.top() - 2 * line;
    const double cdIndent = inner.width() * 0.12;
    layout.cdScale = QRectF(inner.left() + cdIndent, cdTop + line * 0.1, inner.width() - 2 * cdIndent, line * 0.8);
    layout.totalRow = QRectF(inner.left(), cdTop - line, inner.width(), line);
    const double barsTop = inner.top() + line;              // the points above each bar
    const double barsBottom = layout.totalRow.top() - line; // the letters below
    const double slot = inner.width() / kGroups;
    layout.barWidth = std::max(1.0, std::floor(slot * 0.6));
    for (int g = 0; g < kGroups; ++g) {
        const double left = std::round(inner.left() + slot * g + (slot - layout.barWidth) / 2);
        layout.bars[static_cast<std::size_t>(g)] =
            QRectF(left, std::round(barsTop), layout.barWidth, std::max(0.0, std::round(barsBottom - barsTop)));
    }
    return layout;
}

void paintProfileChart(QPainter& painter, const QRectF& area, const std::optional<DosageProfile>& profile, int scale,
                       const QPalette& palette)
{
    painter.save();
    const QFontMetricsF metrics(painter.font());
    const ProfileChartLayout layout = profileChartLayout(area, metrics.height());
    const QColor text = palette.color(QPalette::WindowText);
    const QColor axis = palette.color(QPalette::Mid);
    const bool points = hasPoints(profile);
    scale = std::max(1, scale);

    // The baseline of the bars and the letters under them.
    const double baseline = layout.bars[0].bottom();
    painter.setPen(QPen(axis, 1));
    painter.drawLine(QPointF(layout.bars[0].left() - 2, baseline + 0.5),
                     QPointF(layout.bars[kGroups - 1].right() + 2, baseline + 0.5));
    ProfileSummary summary;
    if (profile)
        summariseProfile(*profile, summary);
    for (int g = 0; g < kGroups; ++g) {
        const QRectF& slot = layout.bars[static_cast<std::size_t>(g)];
        const QRectF letter(slot.left() - slot.width(), baseline + 1, slot.width() * 3, metrics.height() * 1.3);
        painter.setPen(text);
        painter.drawText(letter, Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(kGroupLetters[g]));
        if (!points)
            continue;
        const int value = profile->groupTotal[static_cast<std::size_t>(g)];
        const double height = std::round(slot.height() * std::min(value, scale) / scale);
        if (height > 0)
            painter.fillRect(QRectF(slot.left(), baseline - height, slot.width(), height), barColour());
        const QRectF number(slot.left() - slot.width(), baseline - height - metrics.height() * 1.2, slot.width() * 3,
                            metrics.height() * 1.2);
        painter.drawText(number, Qt::AlignHCenter | Qt::AlignBottom,
                         trimmedText(summaryNumber(summary, static_cast<SummaryColumn>(g)).text));
    }

    painter.setPen(text);
    painter.drawText(layout.totalRow, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Total %1").arg(profile ? profile->total : 0));

    // The CD scale: ticks at -2, -1, 0, 1 and 2, the mark where the CD stands.
    const QRectF& cd = layout.cdScale;
    const double y = std::round(cd.center().y()) + 0.5;
    painter.setPen(QPen(axis, 1));
    painter.drawLine(QPointF(cd.left(), y), QPointF(cd.right(), y));
    QFont small = painter.font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.8);
    else
        small.setPixelSize(std::max(6, small.pixelSize() * 4 / 5));
    for (int tick = -2; tick <= 2; ++tick) {
        const double x = cd.left() + cd.width() * cdPlace(tick);
        painter.setPen(QPen(axis, 1));
        painter.drawLine(QPointF(x, y - cd.height() / 4), QPointF(x, y + cd.height() / 4));
    }
    painter.setPen(text);
    painter.drawText(QRectF(layout.totalRow.left(), cd.top(), cd.left() - layout.totalRow.left(), cd.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("CD"));
    painter.save();
    painter.setFont(small);
    const QFontMetricsF smallMetrics(small);
    for (int tick = -2; tick <= 2; tick += 2) {
        const double x = cd.left() + cd.width() * cdPlace(tick);
        painter.drawText(QRectF(x - 20, cd.bottom(), 40, smallMetrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(tick));
    }
    painter.restore();
    if (points && profile->cd) {
        const double x = std::round(cd.left() + cd.width() * cdPlace(*profile->cd));
        const double half = std::max(1.0, std::round(cd.height() / 6));
        painter.fillRect(QRectF(x - half, cd.top(), 2 * half, cd.height()), cdMarkColour());
    }

    const std::string di = profile && profile->cd ? diText(profile->di) : std::string(kNoPointsText);
    const std::string cdShown = profile && profile->cd ? cdText(*profile->cd) : std::string(kNoPointsText);
    painter.setPen(text);
    painter.drawText(layout.diText, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("DI %1   CD %2").arg(trimmedText(di), trimmedText(cdShown)));
    painter.restore();
}

QString profileToolTip(const std::optional<DosageProfile>& profile)
{
    if (!profile)
        return QStringLiteral("No profile shown");
    const ProfileSummary summary = summariseProfile(*profile);
    const auto at = [&summary](SummaryColumn column) { return trimmedText(summaryNumber(summary, column).text); };
    QStringList groups;
    for (int g = 0; g < kGroups; ++g)
        groups << QStringLiteral("%1 %2").arg(QString::fromLatin1(kGroupLetters[g]), at(static_cast<SummaryColumn>(g)));
    return QStringLiteral("%1\nTotal %2\nCD %3\nDI %4\nSpeed %5\nStamina %6")
        .arg(groups.join(QStringLiteral("  ")), at(SummaryColumn::Total), at(SummaryColumn::Cd), at(SummaryColumn::Di),
             at(SummaryColumn::Speed), at(SummaryColumn::Stamina));
}

ProfileChart::ProfileChart(QWidget* parent) : QWidget(parent) { setProfile(std::nullopt, 4); }

void ProfileChart::setProfile(const std::optional<DosageProfile>& profile, int scale)
{
    profile_ = profile;
    scale_ = std::max(1, scale);
    setToolTip(profileToolTip(profile_));
    update();
}

void ProfileChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    paintProfileChart(painter, QRectF(rect()), profile_, scale_, palette());
}

void paintMiniBars(QPainter& painter, const QRectF& area, const GroupTotals& totals, int scale, const QColor& colour)
{
    scale = std::max(1, scale);
    const double slot = area.width() / kGroups;
    const double width = std::max(1.0, std::floor(slot * 0.7));
    for (int g = 0; g < kGroups; ++g) {
        const int value = std::min<int>(totals[static_cast<std::size_t>(g)], scale);
        const double height = std::round(area.height() * value / scale);
        if (height > 0)
            painter.fillRect(QRectF(std::round(area.left() + slot * g), area.bottom() - height, width, height), colour);
    }
}

QVariant groupTotalsValue(const GroupTotals& totals)
{
    QVariantList list;
    for (const auto points : totals)
        list << points;
    return list;
}

void ProfileBarsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index); // background and selection
    const QVariantList list = index.data(kGroupTotalsRole).toList();
    if (list.size() != kGroups)
        return;
    GroupTotals totals{};
    for (int g = 0; g < kGroups; ++g)
        totals[static_cast<std::size_t>(g)] = list[g].toInt();
    const int margin = std::max(2, option.rect.height() / 8);
    painter->save();
    // On a selected row the bars take the selection's text colour: the bar colour is
    // close to the highlight's and would vanish in it.
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    paintMiniBars(*painter, QRectF(option.rect.adjusted(margin, margin, -margin, -margin)), totals,
                  index.data(kChartScaleRole).toInt(),
                  selected ? option.palette.color(QPalette::HighlightedText) : barColour());
    painter->restore();
}

QSize ProfileBarsDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {option.fontMetrics.height() * 3, option.fontMetrics.height()};
}

} // namespace quindle::ui

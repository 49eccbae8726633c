#include "ui/compare_chart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "dosage/chart_scale.h"
#include "ui/profile_chart.h"

namespace quindle::ui {

namespace {
constexpr const char* kGroupLetters[] = {"B", "I", "C", "S", "P"};
}

QColor candidateColour(std::size_t n)
{
    static const QColor colours[] = {QColor(0x3f, 0x7f, 0xbf), QColor(0xe0, 0x60, 0x10), QColor(0x2e, 0x9e, 0x4f),
                                     QColor(0xa8, 0x4c, 0xc8), QColor(0xc8, 0xa0, 0x00), QColor(0xd0, 0x30, 0x50)};
    return colours[n % std::size(colours)];
}

CompareChart::CompareChart(QWidget* parent) : QWidget(parent) { setMinimumHeight(140); }

void CompareChart::setProfiles(std::vector<std::optional<DosageProfile>> profiles)
{
    profiles_ = std::move(profiles);
    std::vector<GroupTotals> totals;
    for (const auto& p : profiles_)
        if (p)
            totals.push_back(p->groupTotal);
    scale_ = commonScale(totals);
    QStringList lines;
    for (std::size_t i = 0; i < profiles_.size(); ++i)
        lines << QStringLiteral("Candidate %1: %2")
                     .arg(i + 1)
                     .arg(profileToolTip(profiles_[i]).replace(QLatin1Char('\n'), QStringLiteral(", ")));
    setToolTip(lines.join(QLatin1Char('\n')));
    update();
}

std::vector<CompareChart::Bar> CompareChart::bars() const
{
    std::vector<Bar> bars;
    if (profiles_.empty())
        return bars;
    const QFontMetricsF metrics(font());
    const double line = metrics.height() * 1.3;
    const QRectF area = QRectF(rect()).adjusted(line * 1.5, line, -6, -line);
    const double group = area.width() / kGroups;
    const double barWidth = std::max(1.0, std::floor(group * 0.8 / static_cast<double>(profiles_.size())));
    for (int g = 0; g < kGroups; ++g)
        for (std::size_t c = 0; c < profiles_.size(); ++c)
            bars.push_back(
                {g, c,
                 QRectF(std::round(area.left() + group * g + group * 0.1 + barWidth * static_cast<double>(c)),
                        std::round(area.top()), barWidth, std::round(area.height()))});
    return bars;
}

void CompareChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const std::vector<Bar> all = bars();
    if (all.empty())
        return;
    const QColor text = palette().color(QPalette::WindowText);
    const QColor axis = palette().color(QPalette::Mid);
    const double baseline = all.front().slot.bottom();
    const double top = all.front().slot.top();
    const QFontMetricsF metrics(font());
    // The scale: its top and middle, in points.
    painter.setPen(QPen(axis, 1, Qt::DotLine));
    for (const int points : {scale_ / 2, scale_}) {
        const double y = std::round(baseline - (baseline - top) * points / scale_) + 0.5;
        painter.drawLine(QPointF(all.front().slot.left() - 2, y), QPointF(width() - 6, y));
        painter.setPen(text);
        painter.drawText(QRectF(0, y - metrics.height() / 2, all.front().slot.left() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(points));
        painter.setPen(QPen(axis, 1, Qt::DotLine));
    }
    for (const Bar& bar : all) {
        const auto& profile = profiles_[bar.candidate];
        if (!profile || profile->total == 0)
            continue;
        const int points = std::min<int>(profile->groupTotal[static_cast<std::size_t>(bar.group)], scale_);
        const double height = std::round(bar.slot.height() * points / scale_);
        if (height > 0)
            painter.fillRect(QRectF(bar.slot.left(), baseline - height, bar.slot.width(), height),
                             candidateColour(bar.candidate));
    }
    painter.setPen(QPen(axis, 1));
    painter.drawLine(QPointF(all.front().slot.left() - 2, baseline + 0.5), QPointF(width() - 6, baseline + 0.5));
    painter.setPen(text);
    const std::size_t perGroup = profiles_.size();
    for (int g = 0; g < kGroups; ++g) {
        const QRectF first = all[static_cast<std::size_t>(g) * perGroup].slot;
        const QRectF last = all[static_cast<std::size_t>(g) * perGroup + perGroup - 1].slot;
        painter.drawText(QRectF(first.left(), baseline + 2, last.right() - first.left(), metrics.height() * 1.2),
                         Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(kGroupLetters[g]));
    }
}

} // namespace quindle::ui

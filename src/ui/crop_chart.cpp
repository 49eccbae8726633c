#include "ui/crop_chart.h"

#include <QPainter>
#include <algorithm>

#include "dosage/format.h"
#include "ui/counts.h"
#include "ui/profile_chart.h"

namespace quindle::ui {

namespace {

constexpr int kDiBars = kDiBins + 2; // the bins, INF, "--"
constexpr int kCdBars = kCdBins + 1; // the bins, "--"

QString diLabel(int bar)
{
    if (bar == kDiBins)
        return QStringLiteral("INF");
    if (bar == kDiBins + 1)
        return QStringLiteral("--");
    if (bar == kDiBins - 1)
        return QStringLiteral("%1+").arg(diBinLow(bar));
    return QStringLiteral("%1\u2013%2").arg(diBinLow(bar)).arg(diBinLow(bar + 1));
}

QString cdLabel(int bar)
{
    if (bar == kCdBins)
        return QStringLiteral("--");
    return QStringLiteral("%1\u2013%2").arg(cdBinLow(bar)).arg(cdBinLow(bar + 1));
}

} // namespace

CropChart::CropChart(QWidget* parent) : QWidget(parent) { setMinimumHeight(kHeight); }

void CropChart::setCrop(const FoalCrop& crop, std::optional<CropPlace> shown)
{
    crop_ = crop;
    shown_ = shown;
    QStringList di, cd;
    for (int b = 0; b < kDiBars; ++b) {
        const int count =
            b < kDiBins ? crop_.di[static_cast<std::size_t>(b)] : (b == kDiBins ? crop_.diInfinite : crop_.diNone);
        di << QStringLiteral("%1: %2").arg(diLabel(b)).arg(count);
    }
    for (int b = 0; b < kCdBars; ++b)
        cd << QStringLiteral("%1: %2")
                  .arg(cdLabel(b))
                  .arg(b < kCdBins ? crop_.cd[static_cast<std::size_t>(b)] : crop_.cdNone);
    setToolTip(QStringLiteral("%1\nDI  %2\nCD  %3")
                   .arg(countOf(crop_.foals, QStringLiteral("foal")))
                   .arg(di.join(QStringLiteral(", ")), cd.join(QStringLiteral(", "))));
    update();
}

int CropChart::scale() const
{
    int largest = std::max({crop_.diInfinite, crop_.diNone, crop_.cdNone, 1});
    for (const int count : crop_.di)
        largest = std::max(largest, count);
    for (const int count : crop_.cd)
        largest = std::max(largest, count);
    return largest;
}

std::vector<CropChart::Bar> CropChart::bars() const
{
    const QFontMetricsF metrics(font());
    const double line = metrics.height() * 1.2;
    const QRectF area = QRectF(rect()).adjusted(4, line, -4, -2 * line); // the title above, labels below
    const double gap = std::max(8.0, area.width() * 0.04);
    const double slot = (area.width() - gap) / (kDiBars + kCdBars);
    const double barWidth = std::max(1.0, std::floor(slot * 0.75));
    std::vector<Bar> bars;
    const auto add = [&](int index, double left, int count, bool shown) {
        bars.push_back(
            {QRectF(std::round(left + slot * index), std::round(area.top()), barWidth, std::round(area.height())),
             count, shown});
    };
    const bool has = shown_.has_value();
    for (int b = 0; b < kDiBars; ++b) {
        const int count =
            b < kDiBins ? crop_.di[static_cast<std::size_t>(b)] : (b == kDiBins ? crop_.diInfinite : crop_.diNone);
        const bool shown = has && ((b < kDiBins && shown_->di == CropPlace::Di::Bin && shown_->diBin == b) ||
                                   (b == kDiBins && shown_->di == CropPlace::Di::Infinite) ||
                                   (b == kDiBins + 1 && shown_->di == CropPlace::Di::None));
        add(b, area.left(), count, shown);
    }
    const double cdLeft = area.left() + slot * kDiBars + gap;
    for (int b = 0; b < kCdBars; ++b) {
        const int count = b < kCdBins ? crop_.cd[static_cast<std::size_t>(b)] : crop_.cdNone;
        const bool shown = has && ((b < kCdBins && shown_->cdBin == b) || (b == kCdBins && !shown_->cdBin));
        add(b, cdLeft, count, shown);
    }
    return bars;
}

void CropChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor text = palette().color(QPalette::WindowText);
    const QColor axis = palette().color(QPalette::Mid);
    const std::vector<Bar> all = bars();
    const int top = scale();
    const QFontMetricsF metrics(font());
    const double line = metrics.height() * 1.2;

    painter.setPen(text);
    const double diRight = all[kDiBars - 1].slot.right();
    painter.drawText(
        QRectF(all[0].slot.left(), 0, diRight - all[0].slot.left(), line), Qt::AlignLeft,
        QStringLiteral("DI of %1 (highest bar %2)").arg(countOf(crop_.foals, QStringLiteral("foal"))).arg(top));
    painter.drawText(QRectF(all[kDiBars].slot.left(), 0, width() - all[kDiBars].slot.left(), line), Qt::AlignLeft,
                     QStringLiteral("CD"));
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Bar& bar = all[i];
        const double height = std::round(bar.slot.height() * bar.count / top);
        if (height > 0)
            painter.fillRect(QRectF(bar.slot.left(), bar.slot.bottom() - height, bar.slot.width(), height),
                             barColour());
        if (bar.shown) {
            // The shown foal: its bar outlined over the whole height, and a mark under it.
            painter.setPen(QPen(cdMarkColour(), 2));
            painter.drawRect(bar.slot.adjusted(-1, -1, 1, 1));
        }
        painter.setPen(QPen(axis, 1));
        painter.drawLine(QPointF(bar.slot.left() - 1, bar.slot.bottom() + 0.5),
                         QPointF(bar.slot.right() + 1, bar.slot.bottom() + 0.5));
    }
    // A few labels under the bars: the ends and the bars of their own.
    painter.setPen(text);
    QFont small = font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.85);
    else
        small.setPixelSize(std::max(6, small.pixelSize() * 17 / 20));
    painter.setFont(small);
    const auto label = [&](std::size_t bar, const QString& caption) {
        const QRectF& slot = all[bar].slot;
        painter.drawText(QRectF(slot.center().x() - 30, slot.bottom() + 2, 60, line), Qt::AlignHCenter | Qt::AlignTop,
                         caption);
    };
    label(0, QStringLiteral("0"));
    label(4, QStringLiteral("2"));
    label(8, QStringLiteral("4"));
    label(kDiBins, QStringLiteral("INF"));
    label(kDiBins + 1, QStringLiteral("--"));
    label(kDiBars, QStringLiteral("-2"));
    label(kDiBars + 8, QStringLiteral("0"));
    label(kDiBars + kCdBins - 1, QStringLiteral("2"));
    label(kDiBars + kCdBins, QStringLiteral("--"));
}

} // namespace quindle::ui
